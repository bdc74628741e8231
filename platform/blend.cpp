#include "platform/blend.h"

#include <algorithm>
#include <vector>

#include "platform/pixelrows.h"

namespace orba {

int blendAlpha(int opacity) {
    return std::clamp(opacity, 0, 100) * 255 / 100;
}

void drawBlended(Bitmap& dest, int x, int y, int dark, int opacity, const Bitmap& source) {
    drawBlendedRect(dest, {x, y, x + source.width(), y + source.height()}, dark, opacity, source,
                    {0, 0, source.width(), source.height()});
}

void drawBlendedRect(Bitmap& dest, const Rect& destRect, int dark, int opacity,
                     const Bitmap& source, const Rect& sourceRect) {
    if (opacity == 0) return;
    if (opacity == 100 && dark == 0) {
        dest.canvas().copyRect(destRect, source, sourceRect);
        return;
    }
    if (dest.empty() || source.empty()) return;
    const int alpha = blendAlpha(opacity);
    const auto kernel = dark != 0 ? addRow : blendRow;

    // Reading from a shared copy keeps a blend of a bitmap onto itself sound.
    const QImage src = source.image();
    QImage& dst = dest.drawingImage();
    const AxisMap xs = mapAxis(destRect.left, destRect.right, sourceRect.left, sourceRect.right,
                               dst.width(), src.width());
    if (xs.source.empty()) return;
    const AxisMap ys = mapAxis(destRect.top, destRect.bottom, sourceRect.top, sourceRect.bottom,
                               dst.height(), src.height());
    std::vector<std::uint32_t> gathered;
    if (!xs.identity) gathered.resize(xs.source.size());
    for (int i = 0; i < ys.size(); ++i) {
        std::uint32_t* d = scanLine(dst, ys.destStart + i) + xs.destStart;
        const std::uint32_t* s = scanLine(src, ys.source[static_cast<std::size_t>(i)]);
        dest.m_drawn.note(ys.destStart + i, xs.destStart, xs.destStart + xs.size());
        if (xs.identity) {
            kernel(d, s + xs.source[0], xs.size(), alpha);
            continue;
        }
        for (int k = 0; k < xs.size(); ++k)
            gathered[static_cast<std::size_t>(k)] = s[xs.source[static_cast<std::size_t>(k)]];
        kernel(d, gathered.data(), xs.size(), alpha);
    }
}

}  // namespace orba
