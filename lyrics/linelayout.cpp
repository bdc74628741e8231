#include "lyrics/linelayout.h"

#include <cmath>

#include "lyrics/linetext.h"
#include "lyrics/tags.h"
#include "lyrics/textdrawing.h"
#include "lyrics/wipe.h"

namespace orba {

namespace {

int truncToInt(double v) {
    return static_cast<int>(std::trunc(v));
}

void markBlank(std::string& text, Colour& colour) {
    if (!stripTags(text).empty()) return;
    text += kBlankLineMarker;
    colour = kBlankLineColour;
}

// Next and previous lines are never faded, only darkened.
void drawSideLine(Bitmap& back, Point p, Colour colour, const std::string& text) {
    drawOutlinedText(back, p.x, p.y, false, 75, 0, scaleColour(colour, 50), colour, text);
}

}  // namespace

Point currentLinePosition(const FrameValues& f, int wipeStyle, int tw, double lineShift,
                          int lineProgress) {
    const double centre = f.cw * 0.9 * 0.5 - tw / 2;
    long long x;
    int y;
    if (wipeStyle == 1) {
        x = truncToInt(centre + f.unitX * lineShift * 30);
        y = f.ch - f.unitX * 5;
    } else {
        x = truncToInt(centre);
        y = truncToInt(f.ch - f.unitX * 5 + f.unitX * lineShift * 3);
    }
    if (tw > f.cw * 0.9) x = 2 * x * lineProgress / 9500;
    x += f.cw / 20;
    return {static_cast<int>(x), y};
}

Point nextLinePosition(const FrameValues& f, int tw, double lineShift) {
    return {f.cw / 2 - tw / 2, truncToInt(f.ch - f.unitX * 1.1 + f.unitY * lineShift * 2)};
}

Point previousLinePosition(const FrameValues& f, int tw, double lineShift) {
    return {f.cw / 2 - tw / 2, truncToInt(f.ch - f.unitX * 8.5 + f.unitY * lineShift * 2)};
}

int EditMarker::advance() {
    editMarkLevel += editMarkStep;
    if (editMarkLevel >= 255) {
        editMarkLevel = 255;
        editMarkStep = -40;
    } else if (editMarkLevel <= 0) {
        editMarkLevel = 0;
        editMarkStep = 40;
    }
    return editMarkLevel;
}

void drawCurrentLine(Bitmap& back, const FrameValues& f, const Settings& s, LineCaches& caches,
                     const CurrentLineValues& v, bool overlay, bool timeEditMode,
                     EditMarker& marker, bool& editFrameDrawn) {
    Canvas& canvas = back.canvas();
    canvas.font().size = currentLineFontSize(s.fontSizePercent, f.unitX);
    if (overlay) markBlank(caches.currentText, caches.currentColour);
    const std::string& text = caches.currentText;
    const int tw = lyricTextWidth(canvas, text);
    const Point p =
        currentLinePosition(f, s.wipeStyle, tw, v.motion.lineShift, v.motion.lineProgress);
    const int opacity = truncToInt(v.motion.lineOpacity);
    if (v.karaokeOn)
        drawKaraokeText(back, p.x, p.y, f.cw, v.karaoke.segmentProgress, v.karaoke.sungText,
                        v.karaoke.doneText, true, opacity, 0, caches.currentColour, text);
    else
        drawOutlinedText(back, p.x, p.y, true, opacity, 0, scaleColour(caches.currentColour, 50),
                         caches.currentColour, text);
    if (!timeEditMode) return;

    const int th = canvas.textHeight(text);
    canvas.pen().color = static_cast<Colour>(marker.advance());
    canvas.brush().setStyle(BrushStyle::Clear);
    canvas.rectangle(p.x - f.unitX / 2 - 1, p.y - 1, p.x + tw + f.unitX / 2 + 1, p.y + th + 1);
    editFrameDrawn = true;
}

void drawNextLine(Bitmap& back, const FrameValues& f, LineCaches& caches, int currentLine,
                  std::size_t lineCount, double lineShift, const LineDrawInput& in) {
    if (in.overlay) {
        if (currentLine + 2LL >= static_cast<long long>(lineCount)) {
            caches.nextText = kTextEndMarker;
            caches.nextColour = kTextEdgeColour;
        }
        markBlank(caches.nextText, caches.nextColour);
    }
    Canvas& canvas = back.canvas();
    canvas.font().size = sideLineFontSize(f.unitX);
    const Point p = nextLinePosition(f, lyricTextWidth(canvas, caches.nextText), lineShift);
    if (in.shown && in.tagType > 0) drawSideLine(back, p, caches.nextColour, caches.nextText);
}

void drawPreviousLine(Bitmap& back, const FrameValues& f, LineCaches& caches, int currentLine,
                      double lineShift, const LineDrawInput& in) {
    if (currentLine < 1) {
        caches.previousText = kTextTopMarker;
        caches.previousColour = kTextEdgeColour;
    }
    markBlank(caches.previousText, caches.previousColour);
    const int tw = lyricTextWidth(back.canvas(), caches.previousText);
    const Point p = previousLinePosition(f, tw, lineShift);
    if (in.shown && in.tagType > 0)
        drawSideLine(back, p, caches.previousColour, caches.previousText);
}

}  // namespace orba
