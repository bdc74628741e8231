// The karaoke wipe: a line drawn in the unsung colours, then the part left of
// the wipe boundary drawn again in the sung colours through a strip that
// carries the frame's own pixels, so glyphs are cut exactly at the boundary.
#pragma once

#include <string_view>

#include "platform/bitmap.h"

namespace orba {

inline constexpr Colour kSungOutline = 0xFF00FF;

// Where the sung strip lies: `left` and `width` on the target, `offset` the
// shift of the text inside the strip (negative for a line left of the window).
struct WipeStrip {
    int left = 0;
    int width = 0;
    int offset = 0;
};

// The strip for text widths of the done part, of the sung part, a progress of
// 0..10000 through the segment being sung, and the line's x.
WipeStrip wipeStrip(int x, int clientWidth, int doneWidth, int sungWidth, int segmentProgress);

// One line at (x, y) in the target's current font. While the line fades in or
// out (blend on and an opacity other than 100) it is drawn whole in one colour
// set: sung once sungText is the whole line, else unsung.
void drawKaraokeText(Bitmap& target, int x, int y, int clientWidth, int segmentProgress,
                     std::string_view sungText, std::string_view doneText, bool blend, int opacity,
                     Colour shadow, Colour c, std::string_view text);

}  // namespace orba
