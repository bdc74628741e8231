#include "lyrics/partyscreens.h"

#include <QString>
#include <algorithm>
#include <string>

#include "lyrics/textdrawing.h"
#include "platform/fonts.h"

namespace orba {

namespace {

constexpr int kQuietModules = 2;  // light modules around the code on each side

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<int>(text.size()));
}

// The player's own face for its messages (the one the status line uses).
void useMessageFont(Canvas& canvas, const Settings& s, int size) {
    Font& font = canvas.font();
    font.charset = kDefaultCharset;
    font.name = s.fontSpecified ? s.fontName : std::string(kDefaultFontFace);
    font.size = std::max(1, size);
}

void centredText(Bitmap& back, const FrameValues& f, int y, Colour outline, Colour fill,
                 const QString& text) {
    const int x = (f.cw - back.canvas().textWidth(text)) / 2;
    drawOutlinedText(back, x, y, true, 100, 0, outline, fill, text);
}

}  // namespace

void drawNextUp(Bitmap& back, const FrameValues& f, const Settings& s, std::string_view utf8) {
    Canvas& canvas = back.canvas();
    const Font lyricFont = canvas.font();
    useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.7));
    canvas.brush().setStyle(BrushStyle::Clear);
    const QString text = fromUtf8(utf8);
    const int x = f.cw - f.unitX / 2 - canvas.textWidth(text);
    drawOutlinedText(back, x, f.unitX / 2, true, 100, 0, 0xFF00FF, 0xFFFFFF, text);
    canvas.font() = lyricFont;
}

void drawUpNextScreen(Bitmap& back, const FrameValues& f, const Settings& s,
                      const UpNextScreen& screen) {
    Canvas& canvas = back.canvas();
    const Font lyricFont = canvas.font();
    const int top = f.ch * 3 / 10;
    const int bottom = f.ch * 7 / 10;
    canvas.brush().setColor(0x000000);
    canvas.fillRect({0, top, f.cw, bottom});
    canvas.brush().setStyle(BrushStyle::Clear);

    const int band = bottom - top;
    useMessageFont(canvas, s, f.unitX);
    centredText(back, f, top + band / 16, 0x804000, 0xFFFF80, QStringLiteral("次の歌"));

    // A long name or title shrinks until it fits the width.
    const QString name = fromUtf8(screen.singer) + QStringLiteral(" さんの番です");
    int size = f.unitX * 2;
    useMessageFont(canvas, s, size);
    while (size > 4 && canvas.textWidth(name) > f.cw - f.unitX * 2)
        useMessageFont(canvas, s, size -= 2);
    centredText(back, f, top + band / 4, 0xFF00FF, 0xFFFFFF, name);

    const QString title = fromUtf8(screen.title);
    size = f.unitX * 5 / 4;
    useMessageFont(canvas, s, size);
    while (size > 4 && canvas.textWidth(title) > f.cw - f.unitX * 2)
        useMessageFont(canvas, s, size -= 2);
    centredText(back, f, top + band * 9 / 16, 0x404040, 0xFFFFFF, title);

    useMessageFont(canvas, s, static_cast<int>(f.unitX * 0.7));
    centredText(back, f, top + band * 13 / 16, 0x000000, 0xC0C0C0,
                QStringLiteral("あと %1 秒 ・ Space ですぐに始まります").arg(screen.secondsLeft));
    canvas.font() = lyricFont;
}

Rect qrCodePlace(const FrameValues& f, int modules) {
    const int side = modules + 2 * kQuietModules;
    const int scale = std::max(1, f.ch / 4 / std::max(1, side));
    const int pixels = side * scale;
    // Below the line naming the next song, clear of the lyrics at the bottom.
    const int right = f.cw - std::max(0, f.unitX / 2);
    const int top = f.unitX * 3 / 2;
    return {right - pixels, top, right, top + pixels};
}

void drawQrCode(Bitmap& back, const FrameValues& f, const QrCode& code) {
    if (code.size <= 0) return;
    const Rect place = qrCodePlace(f, code.size);
    const int scale = (place.right - place.left) / (code.size + 2 * kQuietModules);
    Canvas& canvas = back.canvas();
    canvas.brush().setColor(0xFFFFFF);
    canvas.fillRect(place);
    canvas.brush().setColor(0x000000);
    const int x0 = place.left + kQuietModules * scale;
    const int y0 = place.top + kQuietModules * scale;
    for (int y = 0; y < code.size; ++y) {
        // A row's dark runs as one rectangle each.
        for (int x = 0; x < code.size;) {
            if (!code.isDark(x, y)) {
                ++x;
                continue;
            }
            int end = x;
            while (end < code.size && code.isDark(end, y)) ++end;
            canvas.fillRect({x0 + x * scale, y0 + y * scale, x0 + end * scale, y0 + (y + 1) * scale});
            x = end;
        }
    }
    canvas.brush().setStyle(BrushStyle::Clear);
}

}  // namespace orba
