// Where the pictures of an exported video come from: whatever draws the
// player's frames without a window.
#pragma once

#include "platform/bitmap.h"

namespace orba {

class ExportFrameSource {
public:
    virtual ~ExportFrameSource() = default;
    // Draws the song at `songMs` into `back` (already of the video's size).
    // Asked in increasing time order, once per video frame.
    virtual void drawFrame(int songMs, Bitmap& back) = 0;
};

}  // namespace orba
