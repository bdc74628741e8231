#include "resources/okglyph.h"

#include <array>

namespace orba {

namespace {

// One character a pixel: 'k' outline, 'g' fill, '.' transparent.
constexpr std::array<const char*, 16> kCheckArt = {
    "................", "................", "............kk..", "...........kggk.",
    "..........kgggk.", ".........kgggk..", "..kk....kgggk...", ".kggk..kgggk....",
    ".kgggkkgggk.....", "..kgggggggk.....", "...kgggggk......", "....kgggk.......",
    ".....kkk........", "................", "................", "................",
};

}  // namespace

QImage okGlyph(bool enabled) {
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    const QRgb outline = enabled ? qRgb(0, 96, 0) : qRgb(128, 128, 128);
    const QRgb fill = enabled ? qRgb(0, 192, 0) : qRgb(192, 192, 192);
    const QRgb emboss = qRgb(255, 255, 255);
    if (!enabled) {
        for (int y = 0; y < 15; ++y)
            for (int x = 0; x < 15; ++x)
                if (kCheckArt[y][x] != '.') img.setPixel(x + 1, y + 1, emboss);
    }
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const char c = kCheckArt[y][x];
            if (c == 'k') img.setPixel(x, y, outline);
            if (c == 'g') img.setPixel(x, y, fill);
        }
    }
    return img;
}

}  // namespace orba
