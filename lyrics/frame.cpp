#include "lyrics/frame.h"

#include "lyrics/partyscreens.h"
#include "lyrics/textdrawing.h"

namespace orba {

bool FrameLoop::beginFrame(Bitmap& back, int cw, int ch) {
    if (cw <= 0 || ch <= 0) return false;  // minimised: the clock stands still too
    const bool sizeChanged = cw != m_lastWidth || ch != m_lastHeight;
    if (sizeChanged || back.width() != cw || back.height() != ch) {
        back.setSize(cw, ch);
        m_lastWidth = cw;
        m_lastHeight = ch;
    }
    m_values = frameValuesFor(cw, ch, m_values.dt, sizeChanged);
    return true;
}

void FrameLoop::clockTicked(int dt, unsigned now) {
    m_values.dt = dt;
    m_values.now = now;
}

LyricFrame FrameLoop::lyricStep(const Settings& s, const LyricView& v, int lyricTime) {
    LyricFrame lf;
    lf.lyricTime = lyricTime;
    lf.currentLine = v.currentLine;
    lf.shown = lf.lyricTime < 0 || v.timeEditMode;  // before any line end is known
    if (!s.useMessage) return lf;

    // The values are those before the step: on a forward step the new line
    // waits for the next frame, on a backward one it enters from past its end.
    lf.timeline = stepTimeline(v.currentLine, lf.lyricTime, v.lineTimes);
    lf.currentLine = lf.timeline.currentLine;
    lf.shown = lf.lyricTime < lf.timeline.lineEnd || v.timeEditMode;
    const long long count = static_cast<long long>(v.lyricLines.size());
    if (lf.currentLine < 0 || lf.currentLine >= count || !lf.shown) return lf;

    const bool overlay = v.debugMode || v.timeEditMode;
    refreshLineCaches(m_caches, v.lyricLines,
                      {lf.currentLine, overlay, v.timeEditMode, v.songLength, v.encoding});
    CurrentLineInput in;
    in.tagType = v.tagType;
    in.timeForce = s.timeForce;
    in.noKaraoke = s.noKaraoke;
    in.timeEditMode = v.timeEditMode;
    in.lyricTime = lf.lyricTime;
    in.timeline = lf.timeline;
    in.encoding = v.encoding;
    lf.line = currentLineValues(m_caches, in);
    lf.drawn = true;
    return lf;
}

LyricsDrawn FrameLoop::drawLyrics(Bitmap& back, const Settings& s, const LyricView& v,
                                  const LyricFrame& lf) {
    const FrameValues& f = m_values;
    LyricsDrawn out;
    const bool overlay = v.debugMode || v.timeEditMode;
    const bool ownLyrics = !v.lyricsInGraphics;
    if ((s.textBack == 3 && ownLyrics) || overlay) drawBlueMesh(back, f);
    setLyricFont(back.canvas(), s, v.encoding);
    if (s.useMessage && ownLyrics) {
        if (s.textBack == 1 || s.textBack == 2) drawTextBand(back, f, s);
        if (lf.drawn)
            drawCurrentLine(back, f, s, m_caches, lf.line, overlay, v.timeEditMode, m_editMarker,
                            out.editLineDrawn);
    }
    const double lineShift = lf.drawn ? lf.line.motion.lineShift : 0.0;
    const LineDrawInput sides{overlay, v.timeEditMode, lf.shown, v.tagType};
    if ((s.showNext && ownLyrics) || overlay)
        drawNextLine(back, f, m_caches, v.currentLine, v.lyricLines.size(), lineShift, sides);
    if (overlay) {
        drawPreviousLine(back, f, m_caches, v.currentLine, lineShift, sides);
        drawOverlay(back, f, s.bgmFile, v, m_sampler);
    }
    out.status = m_status.draw(back, f, s, v.statusMessage, v.statusTime);
    if (!v.nextUp.empty()) drawNextUp(back, f, s, v.nextUp);
    return out;
}

}  // namespace orba
