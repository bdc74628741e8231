// The mascot sprites: sixteen copies of the mascot picture bouncing around
// the client, its top-left colour left out as transparent. They start again
// from the two top corners whenever they are switched on or the client size
// changes.
#pragma once

#include <array>

#include "platform/bitmap.h"
#include "platform/framevalues.h"

namespace orba {

struct Sprite {
    float x = 0;  // top-left corner in pixels
    float y = 0;
    float vx = 0;  // speed units
    float vy = 0;
};

class MascotSprites {
public:
    void draw(Bitmap& back, const FrameValues& f, bool orbaObject, const Bitmap& mascot);

    const std::array<Sprite, 16>& sprites() const { return m_sprites; }

private:
    void place(int cw, int w);

    std::array<Sprite, 16> m_sprites{};
    bool m_lastOrbaObject = false;
};

}  // namespace orba
