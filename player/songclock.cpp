#include "player/songclock.h"

#include <algorithm>

#include "lyrics/singerclock.h"
#include "lyrics/timeline.h"
#include "lyrics/timevalue.h"

namespace orba {

std::optional<int> frameClock(unsigned now, unsigned& lastTick) {
    if (now < lastTick) lastTick = 0;  // the tick counter wrapped
    if (lastTick == 0) {
        lastTick = now;
        return std::nullopt;
    }
    const unsigned dt = now - lastTick;
    lastTick = now;
    if (dt < 1) return std::nullopt;
    return static_cast<int>(std::min(dt, 0x7FFFFFFFu));
}

void primeFrameClock(unsigned now, unsigned& lastTick) {
    if (lastTick == 0) lastTick = now;
}

bool clockReadsPosition(const Settings& s, const PlayerState& st) {
    return s.useBgm && !st.isMidi;
}

bool clockReadsMode(const Settings& s, const PlayerState& st) {
    return s.useBgm && st.isMidi;
}

void advancePlaybackClock(const Settings& s, PlayerState& st, int dt, const MusicReading& music) {
    if (s.useBgm) {
        if (!st.isMidi)
            st.songTime = music.position;
        else if (music.mode == 2) {
            // The MIDI clock follows the song: at 80 % tempo a second of
            // wall time is 0.8 s of song.
            const ScaledStep step = scaledElapsed(dt, st.singer.tempo, st.tempoCarry);
            st.tempoCarry = step.carry;
            st.songTime = clampMs(static_cast<long long>(st.songTime) + step.ms);
        }
    } else if (s.useMessage) {
        st.songLength = st.lineTimes.empty() ? 0 : readTimeValue(st.lineTimes.back());
        st.songTime = clampMs(static_cast<long long>(st.songTime) + dt);
    }
}

bool songEnded(const PlayerState& st) {
    return st.songTime / 10 >= st.songLength / 10;
}

LyricClock clockStep(const Settings& s, PlayerState& st, int dt, const MusicReading& music) {
    advancePlaybackClock(s, st, dt, music);
    LyricClock clock;
    // The lyric time is taken before the end of the song resets the clock.
    clock.lyricTime = lyricTimeOf(st.songTime, st.timeRatio,
                                  lyricTextTiming(s.textTiming, st.singer.lyricOffset));
    clock.songEnded = songEnded(st) && !st.timeEdit.timeEditMode;
    return clock;
}

}  // namespace orba
