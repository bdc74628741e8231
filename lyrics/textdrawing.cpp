#include "lyrics/textdrawing.h"

#include <algorithm>
#include <climits>

#include "lyrics/linetext.h"
#include "platform/blend.h"
#include "platform/sjistext.h"

namespace orba {

Colour scaleColour(Colour c, int p) {
    if (p == 100) return c;
    const auto channel = [&](int shift) -> Colour {
        const int v = static_cast<int>((c >> shift) & 0xFFu) * p / 100;
        return static_cast<Colour>(v & 0xFF) << shift;
    };
    return channel(0) | channel(8) | channel(16);
}

namespace {

// The six text-outs of an outlined text, relative to the shadow-free origin.
struct Layer {
    int dx;
    int dy;
    int colour;  // 0 shadow, 1 outline, 2 fill
};
constexpr Layer kLayers[] = {{2, 2, 0}, {-1, -1, 1}, {1, -1, 1}, {-1, 1, 1}, {1, 1, 1}, {0, 0, 2}};

void drawLayers(Canvas& canvas, int x, int y, int subpixels, const Colour (&colours)[3],
                const QString& text) {
    canvas.brush().setStyle(BrushStyle::Clear);
    for (const Layer& layer : kLayers) {
        canvas.font().color = colours[layer.colour];
        canvas.textOut(x + layer.dx, y + layer.dy, text, subpixels);
    }
}

void drawShown(Bitmap& target, const ShownText& part, int y, bool blend, int opacity, Colour shadow,
               Colour outline, Colour fill, const QString& shown) {
    Canvas& canvas = target.canvas();
    if (opacity != 100 && blend) {
        if (opacity == 0) return;  // nothing would show; skip the work
        // The text's box one pixel out, as far as it lies on the target:
        // glyphs a thousand pixels high need no bitmap larger than the frame.
        const long long w = (part.boxWidth >= 0 ? part.boxWidth : canvas.textWidth(shown)) + 2LL;
        const long long h = canvas.textHeight(shown) + 2LL;
        const int left = static_cast<int>(std::max(part.boxX - 1LL, 0LL));
        const int top = static_cast<int>(std::max(y - 1LL, 0LL));
        const int right =
            static_cast<int>(std::min<long long>(part.boxX - 1LL + w, target.width()));
        const int bottom = static_cast<int>(std::min<long long>(y - 1LL + h, target.height()));
        if (left >= right || top >= bottom) return;
        Bitmap faded;
        faded.canvas().font() = canvas.font();
        faded.setSize(right - left, bottom - top);
        faded.canvas().copyRect({0, 0, right - left, bottom - top}, target,
                                {left, top, right, bottom});
        // Drawn one pixel in, so the shadow's last column and row fall off.
        drawLayers(faded.canvas(), part.x - left, y - top, part.subpixels, {shadow, outline, fill},
                   shown);
        drawBlended(target, left, top, 0, opacity, faded);
        return;
    }
    drawLayers(
        canvas, part.x, y, part.subpixels,
        {scaleColour(shadow, opacity), scaleColour(outline, opacity), scaleColour(fill, opacity)},
        shown);
}

}  // namespace

void drawOutlinedText(Bitmap& target, int x, int y, bool blend, int opacity, Colour shadow,
                      Colour outline, Colour fill, std::string_view text, std::size_t from) {
    const ShownText part = shownText(target.canvas(), x, text, 0, target.width(), from);
    drawShown(target, part, y, blend, opacity, shadow, outline, fill,
              target.canvas().textOf(part.text));
}

void drawOutlinedText(Bitmap& target, int x, int y, bool blend, int opacity, Colour shadow,
                      Colour outline, Colour fill, const QString& shown) {
    drawShown(target, ShownText{x, 0, {}, x, -1}, y, blend, opacity, shadow, outline, fill, shown);
}

void setLyricFont(Canvas& canvas, const Settings& settings, TextEncoding encoding) {
    Font& font = canvas.font();
    font.style = FontStyles{};
    font.style.bold = settings.fontBold;
    font.style.italic = settings.fontItalic;
    font.style.underline = settings.fontUnderline;
    font.name = settings.fontSpecified ? settings.fontName : std::string(kDefaultFontFace);
    font.charset = isUnicode(encoding) ? kUnicodeCharset : kShiftJisCharset;
}

int currentLineFontSize(int fontSizePercent, int unitX) {
    // 64-bit, so that a hand-edited percentage cannot overflow.
    long long size = static_cast<long long>(fontSizePercent) * unitX / 100;
    return static_cast<int>(std::clamp<long long>(size, INT_MIN, INT_MAX));
}

int sideLineFontSize(int unitX) {
    return static_cast<int>(unitX * 0.7);
}

}  // namespace orba
