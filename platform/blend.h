// Drawing one bitmap onto another with an opacity. Full opacity without the
// dark flag is a plain copy; anything else blends at a constant alpha of
// opacity x 255 / 100.
//
// The dark flag asks for the source's own per-pixel alpha. Our bitmaps carry
// none (their alpha bytes count as zero), so a dark blend adds
// source x alpha / 255 to the destination, saturating: dark parts of a
// picture vanish into what is behind it.
#pragma once

#include <initializer_list>

#include "platform/bitmap.h"
#include "platform/raster.h"

namespace orba {

// The whole source at its own size with its top-left corner at (x, y).
void drawBlended(Bitmap& dest, int x, int y, int dark, int opacity, const Bitmap& source);

// The source rectangle into the destination rectangle, stretched when the
// sizes differ and mirrored when one of them is reversed.
void drawBlendedRect(Bitmap& dest, const Rect& destRect, int dark, int opacity,
                     const Bitmap& source, const Rect& sourceRect);

// Whole pictures drawn as drawBlended draws them, one after the other, but
// row by row: each row of the destination takes every picture's part in
// turn while it is in the cache, instead of the whole destination being read
// and written once per picture. The pixels are the same.
struct BlendedPicture {
    int x = 0;
    int y = 0;
    int opacity = 0;
    const Bitmap* source = nullptr;
};
void drawBlendedInTurn(Bitmap& dest, int dark, std::initializer_list<BlendedPicture> pictures);

// Constant alpha of an opacity percent, 0..255.
int blendAlpha(int opacity);

}  // namespace orba
