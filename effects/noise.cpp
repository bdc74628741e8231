// A band height of 0 or less (a client much wider than high with the overlay
// on) leaves no room for noise: dust and blocks are then not drawn at all,
// and the full-height scratches stop where the band begins, i.e. at once.
// Blocks near the band are cut at its edge, strokes that would reach into it
// are left out: nothing ever covers the overlay.
// The interlace keeps its clock and flicker running so that it goes on
// smoothly when the room comes back.
#include "effects/noise.h"

#include <algorithm>

#include "platform/random.h"

namespace orba {

int noiseHeight(const FrameValues& f, bool overlay) {
    return std::max(0, overlay ? f.ch - 10 * f.unitX : f.ch);
}

Colour randomNoiseColour() {
    const int a = rand();
    const int b = rand();
    return static_cast<Colour>(a * b % 0xFFFFFF);
}

namespace {

void drawCinema(Canvas& c, const FrameValues& f, int noiseColor, int height, bool overlay) {
    const int cw = f.cw;
    c.pen().mode = PenMode::Xor;
    const Colour colour = noiseColor == kNoiseBlack   ? 0x202020
                          : noiseColor == kNoiseWhite ? 0xFFFFFF
                                                      : randomNoiseColour();
    c.pen().color = colour;
    for (int i = 0; i < cw / 400; ++i) {
        const int x = rand() % cw;
        c.moveTo(x, 0);
        c.lineTo(x, height);
    }
    c.pen().mode = PenMode::Copy;
    if (height <= 0) return;
    for (int i = 0; i < cw / 30; ++i) {
        const int x = rand() % cw;
        const int y = rand() % height;
        const int dx = (rand() % cw) / 100 - cw / 200;
        const int dy = (rand() % height) / 100 - height / 200;
        // A stroke that would reach into the overlay band is left out.
        if (overlay && y + dy >= height) continue;
        c.moveTo(x, y);
        c.lineTo(x + dx, y + dy);
    }
}

void drawDigital(Canvas& c, const FrameValues& f, int noiseColor, int height) {
    if (height <= 0) return;
    const int cw = f.cw;
    for (int i = 0; i < cw / 5; ++i) {
        const Colour colour = noiseColor == kNoiseBlack   ? 0x000000
                              : noiseColor == kNoiseWhite ? 0xFFFFFF
                                                          : randomNoiseColour();
        c.pen().color = colour;
        c.brush().setColor(colour);
        const int x = rand() % cw;
        const int y = rand() % height;
        const int w = (rand() % cw) / 100 - cw / 200;
        const int h = (rand() % height) / 100 - height / 200;
        // Blocks stop where the overlay band begins.
        c.fillRect({x, y, x + w, std::min(y + h, height)});
    }
}

}  // namespace

void NoiseFilter::drawInterlace(Canvas& c, const FrameValues& f, int noiseColor, int height) {
    if (m_interlaceOn) {
        Colour colour = 0x200000;
        if (noiseColor != kNoiseBlack && noiseColor != kNoiseWhite) {
            const int hue = m_interlaceHue > 255 ? 510 - m_interlaceHue : m_interlaceHue;
            colour = static_cast<Colour>(hue * 65536 + 255 - hue);
        }
        c.pen().color = colour;
        for (int y = m_interlaceOffset; y < height; y += 5) {
            c.moveTo(0, y);
            c.lineTo(f.cw, y);
        }
        m_interlaceClock += f.dt;
        if (m_interlaceClock > 50) {
            m_interlaceOffset = (m_interlaceOffset + 1) % 5;
            m_interlaceClock = 0;
            m_interlaceHue = (m_interlaceHue + 1) % 511;
        }
    }
    m_interlaceOn = !m_interlaceOn;
}

void NoiseFilter::draw(Bitmap& back, const FrameValues& f, int noiseType, int noiseColor,
                       bool overlay) {
    Canvas& c = back.canvas();
    const int height = noiseHeight(f, overlay);
    switch (noiseType) {
        case kNoiseCinema:
            drawCinema(c, f, noiseColor, height, overlay);
            break;
        case kNoiseDigital:
            drawDigital(c, f, noiseColor, height);
            break;
        case kNoiseInterlace:
            drawInterlace(c, f, noiseColor, height);
            break;
        default:
            break;
    }
    c.brush().setStyle(BrushStyle::Clear);
}

}  // namespace orba
