#include "effects/videodisplay.h"

#include <algorithm>
#include <cstdlib>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace orba {

namespace {

constexpr Colour kBars = 0x000000;

bool near(int side, int own) {
    return own > 0 && std::abs(side - own) * 100 <= own * kUnscaledPercent;
}

void fillAround(Canvas& c, int cw, int ch, const Rect& r) {
    const Rect in{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, cw),
                  std::min(r.bottom, ch)};
    if (in.left > 0) c.fillRect({0, 0, in.left, ch});
    if (in.right < cw) c.fillRect({in.right, 0, cw, ch});
    if (in.top > 0) c.fillRect({in.left, 0, in.right, in.top});
    if (in.bottom < ch) c.fillRect({in.left, in.bottom, in.right, ch});
}

}  // namespace

PictureSize decodeSizeFor(const Rect& r, int width, int height) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (near(w, width) && near(h, height)) return {width, height};
    return {w, h};
}

Rect placedPicture(const Rect& r, int width, int height) {
    const int w = r.right - r.left, h = r.bottom - r.top;
    if (width == w && height == h) return r;
    if (!near(w, width) || !near(h, height)) return {};
    const int left = r.left + (w - width) / 2, top = r.top + (h - height) / 2;
    return {left, top, left + width, top + height};
}

void drawVideoPicture(Bitmap& back, int cw, int ch, const Rect& r, const Bitmap* picture) {
    Canvas& c = back.canvas();
    c.brush().setColor(kBars);
    if (!picture || picture->empty() || r.right <= r.left || r.bottom <= r.top) {
        c.fillRect({0, 0, cw, ch});
        return;
    }
    const Rect placed = placedPicture(r, picture->width(), picture->height());
    if (placed == Rect{}) {
        fillAround(c, cw, ch, r);
        c.stretchDraw(r, *picture);
        return;
    }
    fillAround(c, cw, ch, placed);
    // A picture that stays for several frames (a video has fewer pictures a
    // second than the frame) is copied again only where the lyrics were.
    c.drawKept(placed.left, placed.top, *picture);
}

}  // namespace orba
