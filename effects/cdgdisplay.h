// A CD+G screen as the whole frame: scaled to fit with its 300:216 aspect
// kept, centred, and the border's colour filling the bars beside or above
// and below it.
#pragma once

#include "platform/raster.h"

namespace orba {

class Bitmap;

// Where a screen of `width` x `height` goes in a frame of cw x ch: as large
// as fits with its aspect kept (rounded to whole pixels), centred.
Rect fittedRect(int cw, int ch, int width, int height);

// `screen` empty: the frame is the border colour alone.
void drawCdgScreen(Bitmap& back, int cw, int ch, const Bitmap& screen, Colour border);

}  // namespace orba
