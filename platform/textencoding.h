// The encodings a lyric text comes in, and the one form memory holds it in.
// A Shift-JIS text stays the bytes it was; every Unicode text becomes UTF-8
// without a byte-order mark, so the tag scans see the same ASCII tags in both
// (no byte of a multi-byte UTF-8 character is ASCII). The encoding travels
// with the text so that drawing reads the bytes right and a save writes them
// back in the form they came in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

// Utf16Le and Utf16Be begin with a byte-order mark; the Bare forms have none.
enum class TextEncoding : std::uint8_t {
    ShiftJis,
    Utf8,
    Utf8Bom,
    Utf16Le,
    Utf16Be,
    Utf16LeBare,
    Utf16BeBare
};

constexpr bool isUnicode(TextEncoding e) {
    return e != TextEncoding::ShiftJis;
}

// "Shift-JIS", "UTF-8", "UTF-8 BOM", "UTF-16LE", "UTF-16BE", "UTF-16LE
// without BOM", "UTF-16BE without BOM".
const char* encodingName(TextEncoding e);

// True when the bytes are wholly well-formed UTF-8 (no overlong forms, no
// surrogates, nothing above U+10FFFF).
bool isValidUtf8(std::string_view bytes);

// True when the bytes are wholly well-formed Shift-JIS (code page 932
// structure: a lead byte always followed by a second byte of its range).
bool isValidSjis(std::string_view bytes);

// How short pieces of 8-bit text are read when nothing says their encoding
// (a MIDI file's text events, an ID3 frame that claims Latin-1 from a tagger
// that wrote its own code page): too short to weigh broken bytes against
// good ones, so every piece must read in the encoding chosen.
enum class PlainTextGuess : std::uint8_t {
    Utf8,       // every piece is UTF-8 and one goes beyond ASCII
    ShiftJis,   // every piece is Shift-JIS (ASCII alone included)
    SingleByte  // neither: a Western code page, which reads any byte
};
PlainTextGuess guessPlainText(const std::vector<std::string_view>& pieces);

// In this order:
// - a byte-order mark decides;
// - zero bytes that fall (nearly) all on one side of the two-byte units, as
//   the ASCII characters of UTF-16 text put them, make UTF-16 without a mark
//   (low side zero: big-endian); Shift-JIS and UTF-8 text hold no zero bytes;
// - a text that is valid UTF-8 and holds a multi-byte character is UTF-8, and
//   so is one with a few broken bytes among many well-formed multi-byte
//   characters (a UTF-8 file damaged in places), unless it is well-formed
//   Shift-JIS: Shift-JIS text never reads that well as UTF-8;
// - anything else is Shift-JIS.
TextEncoding detectTextEncoding(std::string_view bytes);

// The bytes of a file in the form memory holds them: Shift-JIS and plain
// UTF-8 as they are (broken UTF-8 bytes too: drawing and printing show each
// as U+FFFD, a save writes it back), the others without their mark and as
// UTF-8. A broken UTF-16 unit (a lone surrogate, an odd last byte), and a
// broken sequence after a UTF-8 mark, becomes U+FFFD.
std::string toInternalText(std::string_view bytes, TextEncoding e);

// The reverse, for saving: the mark the file had is written again.
std::string fromInternalText(std::string_view text, TextEncoding e);

// Lyric bytes in the given encoding as UTF-8, for JSON, status texts and the
// like. Shift-JIS goes through the page converter; Unicode text is checked
// and anything broken becomes U+FFFD.
std::string lyricTextToUtf8(std::string_view bytes, TextEncoding e);

// Appends the character as UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Length of the well-formed UTF-8 sequence at s[i] (i < s.size()), with its
// character in `c`; 0 when there is none.
std::size_t utf8SequenceAt(std::string_view s, std::size_t i, char32_t& c);

// A name a person typed, fit to show and keep: bytes that are no UTF-8,
// control characters and invisible formatting ones (zero-width marks,
// bidirectional overrides and isolates) removed, blanks (the no-break and
// ideographic ones too) trimmed at both ends, at most `maxChars` characters.
std::string visibleName(std::string_view utf8, int maxChars);

// Windows-1252 bytes as UTF-8; its five unassigned codes become U+FFFD.
std::string windows1252ToUtf8(std::string_view bytes);

// Bytes of the character starting at s[i] (i < s.size()): Shift-JIS double
// bytes as the lyric scans always stepped them, UTF-8 sequences whole (a
// broken one byte by byte).
inline std::size_t textCharLength(std::string_view s, std::size_t i, TextEncoding e) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (!isUnicode(e)) {
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        return lead && i + 1 < s.size() ? 2 : 1;
    }
    const std::size_t n = c < 0xC2 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : c < 0xF5 ? 4 : 1;
    for (std::size_t k = 1; k < n; ++k)
        if (i + k >= s.size() || (static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 1;
    return n;
}

}  // namespace orba
