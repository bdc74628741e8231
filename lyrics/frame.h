// One frame of the player, every phase in its order: size and frame clock,
// cursor, the picture phases, the playback and lyric clocks, the end of the
// song, and the lyric text with its backgrounds, overlays and status message.
//
// The frame knows nothing of windows or devices: what it needs from outside
// (the cursor, the pictures, the music's position and mode, the end-of-song
// step) comes through FrameHooks, so the window, the headless tools, the tests
// and the benchmarks all run this same code.
//
// State kept between frames (the size of the last drawn frame, the line
// caches, the status display, the frame-rate sampler, the edit marker) lives
// here for the life of the program; a song load does not reset it.
#pragma once

#include "effects/framevalues.h"
#include "lyrics/currentline.h"
#include "lyrics/linelayout.h"
#include "lyrics/overlays.h"
#include "platform/bitmap.h"
#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {

class FrameHooks {
public:
    virtual ~FrameHooks() = default;
    // The full-screen cursor rule.
    virtual void updateCursor() {}
    // Title banner, scene, pictures, sprites, noise and season. Until they are
    // drawn the frame starts from black.
    virtual void drawPictures(Bitmap& back, const FrameValues& f, const Settings& s,
                              const PlayerState& st);
    // The music's position in ms and its mode (2 playing).
    virtual int playbackPosition() { return 0; }
    virtual int playbackMode() { return 0; }
    // The song reached its end (not in the time-tag edit mode).
    virtual void endOfSong(PlayerState&) {}
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
    // Draws one frame of a client of cw x ch at the tick count `now` (ms).
    // False when nothing was drawn: minimised, or the clock restarted.
    bool tick(Bitmap& back, int cw, int ch, unsigned now, Settings& s, PlayerState& st,
              FrameHooks& hooks);

    // Size and frame clock: false when the frame ends here.
    bool beginFrame(Bitmap& back, int cw, int ch, unsigned now, PlayerState& st);
    // The frame clock alone: dt from the previous tick; false when it restarted.
    bool frameClock(unsigned now, PlayerState& st);
    // The playback and lyric clocks, the end of the song and the timeline.
    LyricFrame advance(Settings& s, PlayerState& st, FrameHooks& hooks);
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

// Phase 9: the music's position, or frame time counted on.
void advancePlaybackClock(const Settings& s, PlayerState& st, int dt, FrameHooks& hooks);

// The end of the song, compared in hundredths of a second.
bool songEnded(const PlayerState& st);

}  // namespace orba
