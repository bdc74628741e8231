#include "lyrics/frame.h"

#include <algorithm>

#include "lyrics/singerclock.h"
#include "lyrics/textdrawing.h"
#include "lyrics/timevalue.h"

namespace orba {

bool FrameLoop::beginFrame(Bitmap& back, int cw, int ch, unsigned now, PlayerState& st) {
    if (cw <= 0 || ch <= 0) return false;  // minimised: the clock stands still too
    const bool sizeChanged = cw != m_lastWidth || ch != m_lastHeight;
    if (sizeChanged || back.width() != cw || back.height() != ch) {
        back.setSize(cw, ch);
        m_lastWidth = cw;
        m_lastHeight = ch;
    }
    m_values = frameValuesFor(cw, ch, m_values.dt, sizeChanged);
    if (!frameClock(now, st)) return false;
    m_values.now = now;
    return true;
}

bool FrameLoop::frameClock(unsigned now, PlayerState& st) {
    if (now < st.lastTick) st.lastTick = 0;  // the tick counter wrapped
    if (st.lastTick == 0) {
        st.lastTick = now;
        return false;
    }
    const unsigned dt = now - st.lastTick;
    st.lastTick = now;
    if (dt < 1) return false;
    m_values.dt = static_cast<int>(std::min(dt, 0x7FFFFFFFu));
    return true;
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

LyricClock FrameLoop::clockStep(const Settings& s, PlayerState& st, const MusicReading& music) {
    advancePlaybackClock(s, st, m_values.dt, music);
    LyricClock clock;
    // The lyric time is taken before the end of the song resets the clock.
    clock.lyricTime = lyricTimeOf(st.songTime, st.timeRatio,
                                  lyricTextTiming(s.textTiming, st.singer.lyricOffset));
    clock.songEnded = songEnded(st) && !st.timeEditMode;
    return clock;
}

LyricFrame FrameLoop::lyricStep(const Settings& s, PlayerState& st, int lyricTime) {
    LyricFrame lf;
    lf.lyricTime = lyricTime;
    lf.shown = lf.lyricTime < 0 || st.timeEditMode;  // before any line end is known
    if (!s.useMessage) return lf;

    // The values are those before the step: on a forward step the new line
    // waits for the next frame, on a backward one it enters from past its end.
    lf.timeline = stepTimeline(st.currentLine, lf.lyricTime, st.lineTimes);
    st.currentLine = lf.timeline.currentLine;
    lf.shown = lf.lyricTime < lf.timeline.lineEnd || st.timeEditMode;
    const long long count = static_cast<long long>(st.lyricLines.size());
    if (st.currentLine < 0 || st.currentLine >= count || !lf.shown) return lf;

    const bool overlay = st.debugMode || st.timeEditMode;
    refreshLineCaches(
        m_caches, st.lyricLines,
        {st.currentLine, overlay, st.timeEditMode, st.songLength, st.lyricForm.encoding});
    CurrentLineInput in;
    in.tagType = st.tagType;
    in.timeForce = s.timeForce;
    in.noKaraoke = s.noKaraoke;
    in.timeEditMode = st.timeEditMode;
    in.lyricTime = lf.lyricTime;
    in.timeline = lf.timeline;
    in.encoding = st.lyricForm.encoding;
    lf.line = currentLineValues(m_caches, in);
    lf.drawn = true;
    return lf;
}

void FrameLoop::drawLyrics(Bitmap& back, const Settings& s, PlayerState& st, const LyricFrame& lf) {
    const FrameValues& f = m_values;
    const bool overlay = st.debugMode || st.timeEditMode;
    if (s.textBack == 3 || overlay) drawBlueMesh(back, f);
    setLyricFont(back.canvas(), s, st.lyricForm.encoding);
    if (s.useMessage) {
        if (s.textBack == 1 || s.textBack == 2) drawTextBand(back, f, s);
        if (lf.drawn)
            drawCurrentLine(back, f, s, m_caches, lf.line, overlay, st.timeEditMode, m_editMarker,
                            st.editFrameDrawn);
    }
    const double lineShift = lf.drawn ? lf.line.motion.lineShift : 0.0;
    const LineDrawInput sides{overlay, st.timeEditMode, lf.shown, st.tagType};
    if (s.showNext || overlay)
        drawNextLine(back, f, m_caches, st.currentLine, st.lyricLines.size(), lineShift, sides);
    if (overlay) {
        drawPreviousLine(back, f, m_caches, st.currentLine, lineShift, sides);
        drawOverlay(back, f, s.bgmFile, st, m_sampler);
    }
    m_status.draw(back, f, s, st);
}

}  // namespace orba
