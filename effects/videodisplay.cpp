#include "effects/videodisplay.h"

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace orba {

namespace {
constexpr Colour kBars = 0x000000;
}

void drawVideoPicture(Bitmap& back, int cw, int ch, const Rect& r, const Bitmap* picture) {
    Canvas& c = back.canvas();
    c.brush().setColor(kBars);
    if (!picture || picture->empty() || r.right <= r.left || r.bottom <= r.top) {
        c.fillRect({0, 0, cw, ch});
        return;
    }
    if (r.left > 0) c.fillRect({0, 0, r.left, ch});
    if (r.right < cw) c.fillRect({r.right, 0, cw, ch});
    if (r.top > 0) c.fillRect({r.left, 0, r.right, r.top});
    if (r.bottom < ch) c.fillRect({r.left, r.bottom, r.right, ch});
    // A picture that stays for several frames (a video has fewer pictures a
    // second than the frame) is copied again only where the lyrics were.
    if (picture->width() == r.right - r.left && picture->height() == r.bottom - r.top)
        c.drawKept(r.left, r.top, *picture);
    else
        c.stretchDraw(r, *picture);
}

}  // namespace orba
