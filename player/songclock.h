// The player's clocks, run by every frame before the lyric step: the frame
// clock (the tick count between frames), the playback clock (the music's
// position, or frame time counted on) and the lyric time taken from it, and
// the end of the song. They read and write the song being played, which only
// the player holds; the lyric step gets the lyric time as a value.
#pragma once

#include <optional>

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

// The frame clock: ms from the previous tick (at least 1), or nothing when
// the clock (re)started at `now` or no time passed. lastTick 0 restarts it.
std::optional<int> frameClock(unsigned now, unsigned& lastTick);

// Starts a restarting frame clock at `now`, when the timer starts rather than
// at its first tick, so that the first tick already draws (15 ms sooner
// after a song opens). A running clock is left as it is.
void primeFrameClock(unsigned now, unsigned& lastTick);

// Whether this frame's clock step needs the music's position, or its mode.
bool clockReadsPosition(const Settings& s, const PlayerState& st);
bool clockReadsMode(const Settings& s, const PlayerState& st);

// The playback clock: the music's position, or frame time counted on.
void advancePlaybackClock(const Settings& s, PlayerState& st, int dt, const MusicReading& music);

// The end of the song, compared in hundredths of a second.
bool songEnded(const PlayerState& st);

// The playback and lyric clocks of a frame `dt` ms after the one before.
LyricClock clockStep(const Settings& s, PlayerState& st, int dt, const MusicReading& music);

}  // namespace orba
