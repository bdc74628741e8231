// The lyric clock under the singer's tempo and lyric offset. A MIDI song
// keeps its own clock from the frame times, so at 80 % tempo each frame
// moves it by four fifths of the frame's time; the fraction left over is
// carried to the next frame, so the clock never drifts from the music.
#pragma once

namespace orba {

struct ScaledStep {
    int ms = 0;     // song time this frame moves the clock by
    int carry = 0;  // the fraction left over, in hundredths of a millisecond
};

// `dt` wall milliseconds at `tempoPercent`, with the carry of the previous frame.
ScaledStep scaledElapsed(int dt, int tempoPercent, int carry);

// The lyric delay of the frame: the settings' text timing plus the song's
// lyric offset, saturating instead of overflowing.
int lyricTextTiming(int textTiming, int lyricOffset);

}  // namespace orba
