// A video's picture as the frame's background: fitted with its aspect kept
// and centred (fittedRect, which also gives the size to decode at), black bars beside or above and
// below it.
#pragma once

#include "platform/raster.h"

namespace orba {

class Bitmap;

// `picture` null (none decoded yet): the frame is black. A picture of
// another size than the rect (the frame was resized since it was asked for)
// is stretched to it.
void drawVideoPicture(Bitmap& back, int cw, int ch, const Rect& r, const Bitmap* picture);

}  // namespace orba
