#include "platform/blend.h"

#include <algorithm>
#include <vector>

#include "platform/pixelrows.h"

namespace orba {

int blendAlpha(int opacity) {
    return std::clamp(opacity, 0, 100) * 255 / 100;
}

void drawBlended(Bitmap& dest, int x, int y, int dark, int opacity, const Bitmap& source) {
    // A plain copy of a whole picture: most often the same picture at the
    // same place as the frame before.
    if (opacity == 100 && dark == 0) {
        dest.canvas().drawKept(x, y, source);
        return;
    }
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

void drawBlendedInTurn(Bitmap& dest, int dark, std::initializer_list<BlendedPicture> pictures) {
    struct Part {
        const QImage source;  // a shared copy, as drawBlendedRect reads it
        int left, right, top, bottom;  // in the destination, clipped
        int x, y;                      // the picture's top-left corner
        int alpha;
        bool copy;
    };
    QImage& dst = dest.drawingImage();
    std::vector<Part> parts;
    int top = dst.height(), bottom = 0;
    for (const BlendedPicture& p : pictures) {
        if (p.opacity == 0 || !p.source || p.source->empty()) continue;
        // A picture drawn onto itself reads what it was before: one at a time.
        if (p.source == &dest) {
            for (const BlendedPicture& q : pictures)
                if (q.source) drawBlended(dest, q.x, q.y, dark, q.opacity, *q.source);
            return;
        }
        const QImage& src = p.source->image();
        Part part{src,
                  std::max(p.x, 0),
                  static_cast<int>(std::min<long long>(static_cast<long long>(p.x) + src.width(),
                                                       dst.width())),
                  std::max(p.y, 0),
                  static_cast<int>(std::min<long long>(static_cast<long long>(p.y) + src.height(),
                                                       dst.height())),
                  p.x,
                  p.y,
                  blendAlpha(p.opacity),
                  p.opacity == 100 && dark == 0};
        if (part.left >= part.right || part.top >= part.bottom) continue;
        top = std::min(top, part.top);
        bottom = std::max(bottom, part.bottom);
        parts.push_back(std::move(part));
    }
    if (parts.empty()) return;
    const auto kernel = dark != 0 ? addRow : blendRow;
    const PixelView px(dst);
    for (int y = top; y < bottom; ++y) {
        std::uint32_t* row = px.row(y);
        for (const Part& part : parts) {
            if (y < part.top || y >= part.bottom) continue;
            const std::uint32_t* s = scanLine(part.source, y - part.y) + (part.left - part.x);
            const int count = part.right - part.left;
            if (part.copy)
                std::copy(s, s + count, row + part.left);
            else
                kernel(row + part.left, s, count, part.alpha);
            dest.m_drawn.note(y, part.left, part.right);
        }
    }
}

}  // namespace orba
