// Shift-JIS (code page 932) text. Lyric texts stay Shift-JIS bytes in
// memory, as the files hold them; they are converted only to draw,
// measure or print them.
#pragma once

#include <string>
#include <string_view>

namespace orba {

// True for the first byte of a double-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Converts to UTF-8. A byte sequence that is not valid CP932, or a lead byte
// cut off at the end, becomes U+FFFD; the conversion never fails.
std::string sjisToUtf8(std::string_view sjis);

// Converts the characters that start in the first `limit` bytes and appends
// them to `out`; returns the bytes they took: `limit` (all of a shorter
// text), or one more when a pair starts at its last byte. A text converted a piece at a time
// from where the last piece ended reads as sjisToUtf8 reads it whole.
std::size_t appendSjisAsUtf8(std::string& out, std::string_view sjis, std::size_t limit);

// Converts UTF-8 to CP932; a character without a CP932 form becomes "?".
std::string utf8ToSjis(std::string_view utf8);

}  // namespace orba
