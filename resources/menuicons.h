// The nine 16 x 16 menu icons, in the order of the menu's icon numbers:
// 0 options, 1 open, 2 exit, 3 full screen, 4 file, 5 edit, 6 time-tag edit,
// 7 stay on top, 8 folder play.
#pragma once

#include <QImage>

namespace orba {

inline constexpr int kMenuIconCount = 9;

// The icon with that number; a transparent 16 x 16 image for any other number.
QImage menuIcon(int index);

}  // namespace orba
