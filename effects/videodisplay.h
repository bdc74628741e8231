// A video's picture as the frame's background: fitted with its aspect kept
// and centred (fittedRect), black bars beside or above and below it.
//
// A picture within a few percent of the fitted size (a 1080p video in a
// 1920 x 1080 window less its menu bar) is not scaled at all: it is shown at
// its own size, centred on the fitted rect and cut by the frame's edges.
// Scaling it would cost the decoder more than a third again of its own work
// for a difference no one sees.
#pragma once

#include "platform/raster.h"

namespace orba {

class Bitmap;

// How far (in percent of the picture's side) a fitted rect may fall short of
// or exceed the video's own size and still show it unscaled.
inline constexpr int kUnscaledPercent = 4;

struct PictureSize {
    int width = 0;
    int height = 0;
    bool operator==(const PictureSize&) const = default;
};

// The size to decode a video of `width` x `height` at for the fitted rect
// `r`: its own when near enough, else the rect's.
PictureSize decodeSizeFor(const Rect& r, int width, int height);

// Where a picture of `width` x `height` goes for the fitted rect `r`: the
// rect itself, or, for a picture of another size near enough to it, the
// picture's own size centred on the rect. Empty when the picture must be
// stretched (the frame was resized since it was asked for).
Rect placedPicture(const Rect& r, int width, int height);

// `picture` null (none decoded yet): the frame is black.
void drawVideoPicture(Bitmap& back, int cw, int ch, const Rect& r, const Bitmap* picture);

}  // namespace orba
