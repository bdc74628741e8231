// The tags inside a lyric line and the operations that take them out before
// a line is shown. Lines are Shift-JIS bytes; nothing here converts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orba {

constexpr std::uint32_t kDefaultLyricColour = 0xFFFFFF;

// Removes the line's first colour tag [#RRGGBB] and returns its colour as
// 0x00BBGGRR; white, with the line unchanged, when it has none.
std::uint32_t takeColourTag(std::string& line);

// The line as the display shows it: leading time values, karaoke tags and
// ukagaka tags removed. Colour tags stay.
std::string stripTags(std::string_view line);

// As stripTags, but a leading time value stays in front.
std::string stripTagsKeepTime(std::string_view line);

// "----", "Plain Text", "Time Tag", "Karaoke Tag" or "ukagaka Tag".
const char* tagTypeName(int tagType);

}  // namespace orba
