// The lyric half of the player's frame, in its steps: size and frame clock,
// the playback and lyric clocks, the timeline, and the lyric text with its
// backgrounds, overlays and status message. The player runs the steps in
// order, draws the picture phases after the first and carries out the end of
// the song between the clocks and the timeline; the music's position and
// mode come in as values, so nothing here reaches a device or loads a song.
//
// State kept between frames (the size of the last drawn frame, the line
// caches, the status display, the frame-rate sampler, the edit marker) lives
// here for the life of the program; a song load does not reset it.
#pragma once

#include "lyrics/currentline.h"
#include "lyrics/linelayout.h"
#include "lyrics/overlays.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "player/playerstate.h"
#include "settings/settings.h"

namespace orba {

// What the music said this frame: read only where the clock needs it (the
// position of recorded music, the mode of a MIDI song).
struct MusicReading {
    int position = 0;
    int mode = 0;
};

// The playback clock's result: the lyric time, and whether the song reached
// its end this frame (never in the time-tag edit mode).
struct LyricClock {
    int lyricTime = 0;
    bool songEnded = false;
};

// What the lyric clock and the timeline decided on one frame.
struct LyricFrame {
    int lyricTime = 0;
    TimelineStep timeline;   // lineStart, lineEnd, lineDuration; currentLine after the step
    bool drawn = false;      // the current line is drawn
    bool shown = false;      // lyricTime < lineEnd, or the edit mode is on
    CurrentLineValues line;  // valid when drawn
};

class FrameLoop {
public:
    // Size and frame clock: false when the frame ends here (minimised, or the
    // clock restarted).
    bool beginFrame(Bitmap& back, int cw, int ch, unsigned now, PlayerState& st);
    // The frame clock alone: dt from the previous tick; false when it restarted.
    bool frameClock(unsigned now, PlayerState& st);
    // The playback and lyric clocks.
    LyricClock clockStep(const Settings& s, PlayerState& st, const MusicReading& music);
    // The timeline at `lyricTime` and the current line's values.
    LyricFrame lyricStep(const Settings& s, PlayerState& st, int lyricTime);
    // Blue mesh, lyric font, band, the three lines, overlay and status message.
    void drawLyrics(Bitmap& back, const Settings& s, PlayerState& st, const LyricFrame& lf);

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

// Whether this frame's clock step needs the music's position, or its mode.
bool clockReadsPosition(const Settings& s, const PlayerState& st);
bool clockReadsMode(const Settings& s, const PlayerState& st);

// Phase 9: the music's position, or frame time counted on.
void advancePlaybackClock(const Settings& s, PlayerState& st, int dt, const MusicReading& music);

// The end of the song, compared in hundredths of a second.
bool songEnded(const PlayerState& st);

}  // namespace orba
