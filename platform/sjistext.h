// Shift-JIS bytes as Unicode text for drawing and measuring. The same lyric
// line is drawn six or more times on every frame, so conversions are kept in
// a small cache instead of running iconv again each time.
#pragma once

#include <QString>
#include <string_view>

namespace orba {

// The text of Shift-JIS bytes; broken sequences show as U+FFFD.
QString sjisText(std::string_view sjis);

// Text that may be either: UTF-8 when it is valid UTF-8, else Shift-JIS, as
// file names and face names in settings files written on either system are.
QString utf8OrSjisText(std::string_view bytes);

}  // namespace orba
