#include "effects/cdgdisplay.h"

#include <algorithm>
#include <cstdint>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace orba {

Rect fittedRect(int cw, int ch, int width, int height) {
    if (cw <= 0 || ch <= 0 || width <= 0 || height <= 0) return {};
    // Which side binds, in exact integers: cw / width against ch / height.
    const std::int64_t across = std::int64_t(cw) * height, down = std::int64_t(ch) * width;
    int w = cw, h = ch;
    if (across > down)
        w = static_cast<int>((std::int64_t(ch) * width + height / 2) / height);
    else
        h = static_cast<int>((std::int64_t(cw) * height + width / 2) / width);
    w = std::clamp(w, 1, cw);
    h = std::clamp(h, 1, ch);
    const int left = (cw - w) / 2, top = (ch - h) / 2;
    return {left, top, left + w, top + h};
}

void drawCdgScreen(Bitmap& back, int cw, int ch, const Bitmap& screen, Colour border) {
    Canvas& c = back.canvas();
    c.brush().setColor(border);
    if (screen.empty()) {
        c.fillRect({0, 0, cw, ch});
        return;
    }
    const Rect r = fittedRect(cw, ch, screen.width(), screen.height());
    // Only the bars: the screen covers the rest.
    if (r.left > 0) c.fillRect({0, 0, r.left, ch});
    if (r.right < cw) c.fillRect({r.right, 0, cw, ch});
    if (r.top > 0) c.fillRect({r.left, 0, r.right, r.top});
    if (r.bottom < ch) c.fillRect({r.left, r.bottom, r.right, ch});
    c.stretchDraw(r, screen);
}

}  // namespace orba
