// The lyric half of the player's frame, in its steps: size, the timeline, and
// the lyric text with its backgrounds, overlays and status message. The
// player runs its clocks between the size and the timeline, draws the
// picture phases after the size and carries out the end of the song; what
// the song and its clocks are comes in as const values (a LyricView), and
// what a step decided goes back as a result that the player applies, so
// nothing here writes the player's state, reaches a device or loads a song.
//
// State kept between frames (the size of the last drawn frame, the line
// caches, the status display, the frame-rate sampler, the edit marker) lives
// here for the life of the program; a song load does not reset it.
#pragma once

#include "lyrics/currentline.h"
#include "lyrics/linelayout.h"
#include "lyrics/lyricview.h"
#include "lyrics/overlays.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

// What the timeline decided on one frame.
struct LyricFrame {
    int lyricTime = 0;
    TimelineStep timeline;   // lineStart, lineEnd, lineDuration; currentLine after the step
    int currentLine = -1;    // the song's current line after the step (as before without lyrics)
    bool drawn = false;      // the current line is drawn
    bool shown = false;      // lyricTime < lineEnd, or the edit mode is on
    CurrentLineValues line;  // valid when drawn
};

// What drawing the lyrics changed, for the player to apply.
struct LyricsDrawn {
    bool editLineDrawn = false;  // the current line was drawn with the edit mode's marker
    StatusCountdown status;
};

class FrameLoop {
public:
    // Sizes the frame: false when the frame ends here (minimised: the clock
    // stands still too).
    bool beginFrame(Bitmap& back, int cw, int ch);
    // The player's frame clock ticked: dt from the previous tick, at `now`.
    void clockTicked(int dt, unsigned now);
    // The timeline at `lyricTime` and the current line's values.
    LyricFrame lyricStep(const Settings& s, const LyricView& v, int lyricTime);
    // Blue mesh, lyric font, band, the three lines, overlay and status
    // message; `v` holds the current line after the step.
    LyricsDrawn drawLyrics(Bitmap& back, const Settings& s, const LyricView& v,
                           const LyricFrame& lf);

    // A song was (re)loaded: its lines are fetched anew when first drawn,
    // even at the line index and song length of the song before.
    void songLoaded() { m_caches.fetchedLine = -1; }

    const FrameValues& values() const { return m_values; }
    const LineCaches& caches() const { return m_caches; }

private:
    FrameValues m_values;
    int m_lastWidth = 0;
    int m_lastHeight = 0;
    LineCaches m_caches;
    StatusDisplay m_status;
    FrameRateSampler m_sampler;
    EditMarker m_editMarker;
};

}  // namespace orba
