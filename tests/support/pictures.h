// Small pictures for the drawing tests.
#pragma once

#include <QImage>
#include <cstdlib>

#include "effects/background.h"
#include "effects/noise.h"
#include "platform/bitmap.h"
#include "settings/settings.h"

namespace orba::test {

inline Bitmap filled(int w, int h, Colour c) {
    Bitmap b(w, h);
    b.canvas().brush().setColor(c);
    b.canvas().fillRect({0, 0, w, h});
    return b;
}

inline QImage solidImage(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

// Every channel within `tolerance`: what a JPEG round trip keeps of a colour.
inline bool nearColour(Colour got, Colour want, int tolerance = 8) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((got >> shift) & 0xFF) -
                     static_cast<int>((want >> shift) & 0xFF)) > tolerance)
            return false;
    return true;
}

// The costliest picture settings: laser, pictures cross-fading at 50 % with
// dark transparency, digital noise in colour.
inline Settings heaviestPictureSettings() {
    Settings s;
    s.backgroundType = kSceneLaser;
    s.useImages = true;
    s.imageStyle = 5;
    s.imageOpacity = 50;
    s.darkTransparency = 1;
    s.noiseType = kNoiseDigital;
    s.noiseColor = kNoiseColour;
    return s;
}

}  // namespace orba::test
