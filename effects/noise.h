// The noise phase: film scratches and dust, scattered blocks, or flickering
// scan lines over the pictures, in colour, black or white.
#pragma once

#include "platform/bitmap.h"
#include "platform/framevalues.h"

namespace orba {

// Values of `noiseType` and `noiseColor`.
enum NoiseType { kNoiseNone = 0, kNoiseCinema = 1, kNoiseDigital = 2, kNoiseInterlace = 3 };
enum NoiseColour { kNoiseColour = 0, kNoiseBlack = 1, kNoiseWhite = 2 };

// Height the noise may cover: the whole client, or the client without the
// overlay band of 10 x unitX at the bottom while an overlay shows. Never
// below 0.
int noiseHeight(const FrameValues& f, bool overlay);

// Any colour but white, from two draws of the random sequence.
Colour randomNoiseColour();

class NoiseFilter {
public:
    void draw(Bitmap& back, const FrameValues& f, int noiseType, int noiseColor, bool overlay);

    bool interlaceOn() const { return m_interlaceOn; }
    int interlaceOffset() const { return m_interlaceOffset; }
    int interlaceHue() const { return m_interlaceHue; }

private:
    void drawInterlace(Canvas& c, const FrameValues& f, int noiseColor, int height);

    bool m_interlaceOn = false;
    int m_interlaceOffset = 0;
    int m_interlaceClock = 0;
    int m_interlaceHue = 0;
};

}  // namespace orba
