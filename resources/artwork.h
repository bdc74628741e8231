// The main window's two built-in pictures.
#pragma once

#include "platform/bitmap.h"

namespace orba {

// Image2, 240 x 46: the player's title in white on black.
Bitmap titleBanner();

// Image1, 120 x 48: a pink winged heart on pure blue; the blue of the
// top-left pixel is what the sprites leave out.
Bitmap mascotPicture();

}  // namespace orba
