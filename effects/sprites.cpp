#include "effects/sprites.h"

#include <algorithm>

namespace orba {

namespace {

// One axis of a bounce between 0 and `limit`. A mascot larger than the client
// has no room (limit below 0): it stays at 0 instead of being thrown further
// out on every reflection. A frame long enough to fly past both walls ends
// at the wall.
void bounce(float& pos, float& speed, int limit) {
    if (limit <= 0) {
        pos = 0;
        return;
    }
    if (pos < 0) {
        pos = -pos;
        speed = -speed;
    }
    if (pos > limit) {
        pos = 2.0f * limit - pos;
        speed = -speed;
    }
    pos = std::clamp(pos, 0.0f, static_cast<float>(limit));
}

}  // namespace

void MascotSprites::place(int cw, int w) {
    for (int i = 0; i < 8; ++i) {
        const float v = static_cast<float>(i + 1);
        m_sprites[static_cast<std::size_t>(2 * i)] = {0, 0, v, v};
        m_sprites[static_cast<std::size_t>(2 * i + 1)] = {static_cast<float>(cw - w), 0, -v, v};
    }
}

void MascotSprites::draw(Bitmap& back, const FrameValues& f, bool orbaObject,
                         const Bitmap& mascot) {
    const bool changed = orbaObject != m_lastOrbaObject;
    m_lastOrbaObject = orbaObject;
    if (!orbaObject) return;
    const Colour tc = mascot.canvas().pixel(0, 0);
    const int w = mascot.width(), h = mascot.height();
    if (changed || f.sizeChanged) place(f.cw, w);
    Canvas& c = back.canvas();
    const float scale = static_cast<float>(f.dt) * static_cast<float>(f.cw) / 20480;
    for (Sprite& s : m_sprites) {
        const int x = static_cast<int>(s.x), y = static_cast<int>(s.y);
        c.copyRectTransparent({x, y, x + w, y + h}, mascot, {0, 0, w, h}, tc);
        s.x += s.vx * scale;
        s.y += s.vy * scale;
        bounce(s.x, s.vx, f.cw - w);
        bounce(s.y, s.vy, f.ch - h);
    }
}

}  // namespace orba
