// Shift-JIS bytes as Unicode text for drawing and measuring. The same lyric
// line is drawn six or more times on every frame, so conversions are kept in
// a small cache instead of running iconv again each time.
#pragma once

#include <QString>
#include <string_view>

namespace orba {

// The text of Shift-JIS bytes; broken sequences show as U+FFFD.
QString sjisText(std::string_view sjis);

}  // namespace orba
