#include "lyrics/wipe.h"

#include "lyrics/textdrawing.h"

namespace orba {

WipeStrip wipeStrip(int x, int clientWidth, int doneWidth, int sungWidth, int segmentProgress) {
    long long l = doneWidth + 2LL;
    const long long s = static_cast<long long>(sungWidth) - doneWidth - 1;
    if (s > 0 && segmentProgress > 0) l += segmentProgress * s / 10000;
    WipeStrip strip{x - 1, 0, 0};
    if (x < 0) {
        // Only the visible part is prepared.
        strip.offset = x;
        strip.left = -1;
        l += x;
    }
    if (l > clientWidth + 2LL) l = clientWidth + 2LL;
    strip.width = static_cast<int>(l);
    return strip;
}

void drawKaraokeText(Bitmap& target, int x, int y, int clientWidth, int segmentProgress,
                     std::string_view sungText, std::string_view doneText, bool blend, int opacity,
                     Colour shadow, Colour c, std::string_view text) {
    if (opacity != 100 && blend) {
        if (sungText == text)
            drawOutlinedText(target, x, y, true, opacity, shadow, kSungOutline, c, text);
        else
            drawOutlinedText(target, x, y, true, opacity, shadow,
                             scaleColour(scaleColour(c, 90), 40), scaleColour(c, 90), text);
        return;
    }
    Canvas& canvas = target.canvas();
    const int doneWidth = canvas.textWidth(doneText);
    // The segment being sung and everything after it are first drawn unsung.
    const std::string_view rest = doneText.size() < text.size() ? text.substr(doneText.size()) : "";
    drawOutlinedText(target, x + doneWidth, y, true, opacity, shadow, scaleColour(c, 40),
                     scaleColour(c, 90), rest);
    if (sungText.empty()) return;

    const WipeStrip strip =
        wipeStrip(x, clientWidth, doneWidth, canvas.textWidth(sungText), segmentProgress);
    if (strip.width <= 0) return;
    const QString shown = canvas.textOf(text);
    const int h = canvas.textHeight(shown) + 2;
    Bitmap sung;
    sung.canvas().font() = canvas.font();
    sung.setSize(strip.width, h);
    sung.canvas().copyRect({0, 0, strip.width, h}, target,
                           {strip.left, y - 1, strip.left + strip.width, y - 1 + h});
    Canvas& sc = sung.canvas();
    sc.brush().setStyle(BrushStyle::Clear);
    const int o = strip.offset;
    sc.font().color = scaleColour(shadow, opacity);
    sc.textOut(o + 3, 3, shown);
    sc.font().color = kSungOutline;
    for (const Point p : {Point{o, 0}, Point{o + 2, 0}, Point{o, 2}, Point{o + 2, 2}})
        sc.textOut(p.x, p.y, shown);
    sc.font().color = scaleColour(c, opacity);
    sc.textOut(o + 1, 1, shown);
    canvas.draw(strip.left, y - 1, sung);
}

}  // namespace orba
