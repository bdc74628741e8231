// The tags inside a lyric line and the operations that take them out before
// a line is shown. Lines are bytes in the song's encoding (Shift-JIS, or
// UTF-8 for a Unicode source); nothing here converts them.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/textencoding.h"

namespace orba {

constexpr std::uint32_t kDefaultLyricColour = 0xFFFFFF;

// Removes the line's first colour tag [#RRGGBB] and returns its colour as
// 0x00BBGGRR; white, with the line unchanged, when it has none.
std::uint32_t takeColourTag(std::string& line, TextEncoding e = TextEncoding::ShiftJis);

// The line as the display shows it: leading time values, karaoke tags and
// ukagaka tags removed. Colour tags stay.
std::string stripTags(std::string_view line, TextEncoding e = TextEncoding::ShiftJis);

// As stripTags, but a leading time value stays in front.
std::string stripTagsKeepTime(std::string_view line, TextEncoding e = TextEncoding::ShiftJis);

// "----", "Plain Text", "Time Tag", "Karaoke Tag" or "ukagaka Tag".
const char* tagTypeName(int tagType);

}  // namespace orba
