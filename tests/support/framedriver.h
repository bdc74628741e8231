// The frame loop's steps in the player's order, over a black background (the
// background phase's clear) and music readings that the caller sets: for
// tests and benchmarks of the lyric frame alone, without a player around it.
#pragma once

#include "lyrics/frame.h"
#include "platform/bitmap.h"

namespace orba::test {

struct FrameDriver {
    FrameLoop loop;
    MusicReading music{0, 2};
    int pictures = 0;  // frames that got as far as their pictures
    int ends = 0;      // frames that ended the song

    // One frame; the end of the song resets the clock as the player's end
    // step does. False when nothing was drawn.
    bool tick(Bitmap& back, int cw, int ch, unsigned now, const Settings& s, PlayerState& st) {
        if (!loop.beginFrame(back, cw, ch, now, st)) return false;
        ++pictures;
        Canvas& canvas = back.canvas();
        canvas.brush().setColor(0);
        canvas.clearAround({});
        const LyricClock clock = loop.clockStep(s, st, music);
        if (clock.songEnded) {
            ++ends;
            st.songTime = 0;
            st.currentLine = 0;
        }
        const LyricFrame lf = loop.lyricStep(s, st, clock.lyricTime);
        loop.drawLyrics(back, s, st, lf);
        return true;
    }
};

}  // namespace orba::test
