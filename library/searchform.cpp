#include "library/searchform.h"

#include <array>
#include <cstdint>

#include "platform/textencoding.h"

namespace orba {

namespace {

constexpr char32_t kReplacement = 0xFFFD;
constexpr char32_t kVoicedMark = 0x3099;      // combining ゛
constexpr char32_t kSemiVoicedMark = 0x309A;  // combining ゜

// Half-width katakana U+FF61..U+FF9F as their full-width forms; the two
// marks at the end become the combining marks that join the kana before.
constexpr std::array<char16_t, 63> kHalfWidthKana = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3,      0x30A5,
    0x30A7, 0x30A9, 0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2,      0x30A4,
    0x30A6, 0x30A8, 0x30AA, 0x30AB, 0x30AD, 0x30AF, 0x30B1, 0x30B3,      0x30B5,
    0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1, 0x30C4, 0x30C6,      0x30C8,
    0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,      0x30D8,
    0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6,      0x30E8,
    0x30E9, 0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, kVoicedMark, kSemiVoicedMark};

bool isKatakana(char32_t c) {
    return (c >= 0x30A1 && c <= 0x30F6) || c == 0x30FD || c == 0x30FE;
}

// A hiragana letter with a voiced or semi-voiced mark as one letter, 0
// when the two do not join. The voiced letter follows its plain one in the
// code chart (か が, は ば ぱ), except for う ゔ and ゝ ゞ.
char32_t joinHiragana(char32_t base, char32_t mark) {
    if (mark == kVoicedMark) {
        if ((base >= 0x304B && base <= 0x3062 && base % 2 == 1) ||
            (base >= 0x3064 && base <= 0x3068 && base % 2 == 0) ||
            (base >= 0x306F && base <= 0x307B && base % 3 == 0))
            return base + 1;
        if (base == 0x3046) return 0x3094;
        if (base == 0x309D) return 0x309E;
        return 0;
    }
    if (base >= 0x306F && base <= 0x307B && base % 3 == 0) return base + 2;
    return 0;
}

// The same for either kana; ワ ヰ ヱ ヲ take a voiced mark in katakana only.
char32_t joinKana(char32_t base, char32_t mark) {
    if (isKatakana(base)) {
        if (mark == kVoicedMark && base >= 0x30EF && base <= 0x30F2) return base + 8;
        const char32_t joined = joinHiragana(base - 0x60, mark);
        return joined ? joined + 0x60 : 0;
    }
    return joinHiragana(base, mark);
}

char32_t widthForm(char32_t c) {
    if (c >= 0xFF01 && c <= 0xFF5E) return c - 0xFEE0;
    if (c >= 0xFF61 && c <= 0xFF9F) return kHalfWidthKana[c - 0xFF61];
    switch (c) {
        case 0x3000:  // ideographic space
            return ' ';
        case 0x309B:  // the spacing marks join as the combining ones do
            return kVoicedMark;
        case 0x309C:
            return kSemiVoicedMark;
        case 0x301C:  // the wave dash that Japanese text writes for "～"
            return '~';
        case 0xFFE0:
            return 0xA2;
        case 0xFFE1:
            return 0xA3;
        case 0xFFE5:
            return 0xA5;
        default:
            return c;
    }
}

char32_t smallLetter(char32_t c) {
    if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    // Latin Extended-A pairs capitals and small letters, even-odd in most
    // runs and odd-even in two.
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) return c | 1;
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c % 2 ? c + 1 : c;
    if (c == 0x178) return 0xFF;
    return c;
}

char32_t hiraganaOf(char32_t c) {
    // ヷ..ヺ have no hiragana and stay.
    return isKatakana(c) ? c - 0x60 : c;
}

}  // namespace

std::string searchForm(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    // A kana waits here until the next character shows whether a voiced
    // mark joins it.
    char32_t pending = 0;
    auto flush = [&] {
        if (pending) appendUtf8(out, hiraganaOf(smallLetter(pending)));
        pending = 0;
    };
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t read = kReplacement;
        const std::size_t n = utf8SequenceAt(utf8, i, read);
        i += n ? n : 1;
        const char32_t c = widthForm(n ? read : kReplacement);
        if ((c == kVoicedMark || c == kSemiVoicedMark) && pending) {
            if (const char32_t joined = joinKana(pending, c)) {
                pending = joined;
                continue;
            }
        }
        flush();
        pending = c;
    }
    flush();
    return out;
}

std::string lyricsSearchForm(std::string_view utf8) {
    std::string folded = searchForm(utf8);
    std::erase_if(folded, [](char c) { return c == ' ' || c == '\t'; });
    return folded;
}

std::size_t utf8Length(std::string_view utf8) {
    std::size_t n = 0;
    for (char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++n;
    return n;
}

}  // namespace orba
