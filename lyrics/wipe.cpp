#include "lyrics/wipe.h"

#include <algorithm>
#include <climits>

#include "lyrics/linetext.h"
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
    const int doneWidth = lyricPrefixWidth(canvas, text, doneText);
    // The segment being sung and everything after it are first drawn unsung.
    drawOutlinedText(target, x + doneWidth, y, true, opacity, shadow, scaleColour(c, 40),
                     scaleColour(c, 90), text, doneText.size());
    if (sungText.empty()) return;

    const WipeStrip strip = wipeStrip(x, clientWidth, doneWidth,
                                      lyricPrefixWidth(canvas, text, sungText), segmentProgress);
    if (strip.width <= 0) return;
    const ShownText part = shownText(canvas, x, text, strip.left, strip.left + strip.width);
    const QString shown = canvas.textOf(part.text);
    // The strip's rows as far as they lie on the target.
    const long long h = canvas.textHeight(shown) + 2LL;
    const int top = static_cast<int>(std::max(y - 1LL, 0LL));
    const int bottom = static_cast<int>(std::min<long long>(y - 1LL + h, target.height()));
    if (top >= bottom) return;
    Bitmap sung;
    sung.canvas().font() = canvas.font();
    sung.setSize(strip.width, bottom - top);
    sung.canvas().copyRect({0, 0, strip.width, bottom - top}, target,
                           {strip.left, top, strip.left + strip.width, bottom});
    Canvas& sc = sung.canvas();
    sc.brush().setStyle(BrushStyle::Clear);
    // The part's x inside the strip; far from the frame only for a line of
    // gigapixels, which the clamp keeps from overflowing.
    const int o = static_cast<int>(std::clamp(static_cast<long long>(strip.offset) + part.x - x,
                                              INT_MIN / 2LL, INT_MAX / 2LL));
    const int d = y - 1 - top;
    const int sub = part.subpixels;
    sc.font().color = scaleColour(shadow, opacity);
    sc.textOut(o + 3, d + 3, shown, sub);
    sc.font().color = kSungOutline;
    for (const Point p : {Point{o, d}, Point{o + 2, d}, Point{o, d + 2}, Point{o + 2, d + 2}})
        sc.textOut(p.x, p.y, shown, sub);
    sc.font().color = scaleColour(c, opacity);
    sc.textOut(o + 1, d + 1, shown, sub);
    canvas.draw(strip.left, top, sung);
}

}  // namespace orba
