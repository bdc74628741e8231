// Per-character searches over lyric bytes (Shift-JIS unless told otherwise). A double-byte
// character is stepped over whole, so its second byte is never taken for "[", "]" or "\" although
// the second bytes of characters such as ー and ソ have those codes.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/sjis.h"
#include "platform/textencoding.h"

namespace orba {

// Bytes of the character that starts at s[i]. A lead byte with nothing after
// it (a line cut inside a character) counts as a character of its own.
inline std::size_t sjisCharLength(std::string_view s, std::size_t i) {
    return isSjisLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < s.size() ? 2 : 1;
}

// Position of the first single-byte character `c` at or after `from`, which
// must be the start of a character; npos when there is none. `c` is ASCII.
std::size_t sjisFind(std::string_view s, char c, std::size_t from = 0,
                     TextEncoding e = TextEncoding::ShiftJis);

// The same for the first of two characters.
std::size_t sjisFindEither(std::string_view s, char a, char b, std::size_t from = 0,
                           TextEncoding e = TextEncoding::ShiftJis);

}  // namespace orba
