#include "platform/textencoding.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "platform/sjis.h"

namespace orba {

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";
constexpr char32_t kReplacement = 0xFFFD;

}  // namespace

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

std::size_t utf8SequenceAt(std::string_view s, std::size_t i, char32_t& c) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) {
        c = lead;
        return 1;
    }
    std::size_t n;
    char32_t min;
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2, min = 0x80, c = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3, min = 0x800, c = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4, min = 0x10000, c = lead & 0x07;
    } else {
        return 0;
    }
    if (s.size() - i < n) return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(k) & 0xC0) != 0x80) return 0;
        c = c << 6 | (b(k) & 0x3F);
    }
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

namespace {

bool invisibleInName(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) ||  // C0, DEL, C1
           (c >= 0x200B && c <= 0x200F) ||          // zero-width marks, LRM, RLM
           (c >= 0x2028 && c <= 0x202E) ||          // line separators, bidirectional embeddings
           (c >= 0x2060 && c <= 0x206F) ||          // word joiner, bidirectional isolates
           c == 0xFEFF || (c >= 0xFFF9 && c <= 0xFFFB);
}

bool blankInName(char32_t c) {
    return c == ' ' || c == 0xA0 || c == 0x3000;
}

}  // namespace

std::string visibleName(std::string_view utf8, int maxChars) {
    struct Kept {
        char32_t c;
        std::string_view bytes;
    };
    std::vector<Kept> kept;
    for (std::size_t i = 0; i < utf8.size();) {
        char32_t c = 0;
        const std::size_t n = utf8SequenceAt(utf8, i, c);
        if (n == 0) {
            ++i;
            continue;
        }
        if (!invisibleInName(c)) kept.push_back({c, utf8.substr(i, n)});
        i += n;
    }
    std::size_t begin = 0, end = kept.size();
    while (begin < end && blankInName(kept[begin].c)) ++begin;
    end = std::min(end, begin + static_cast<std::size_t>(std::max(0, maxChars)));
    while (end > begin && blankInName(kept[end - 1].c)) --end;
    std::string out;
    for (std::size_t k = begin; k < end; ++k) out += kept[k].bytes;
    return out;
}

namespace {

std::string utf16ToUtf8(std::string_view bytes, bool bigEndian) {
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    const auto unit = [&](std::size_t at) -> char32_t {
        const auto a = static_cast<unsigned char>(bytes[at]);
        const auto b = static_cast<unsigned char>(bytes[at + 1]);
        return bigEndian ? char32_t(a << 8 | b) : char32_t(b << 8 | a);
    };
    std::size_t i = 0;
    for (; i + 1 < bytes.size(); i += 2) {
        char32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < bytes.size()) {
            const char32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                appendUtf8(out, 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00));
                i += 2;
                continue;
            }
        }
        appendUtf8(out, c >= 0xD800 && c <= 0xDFFF ? kReplacement : c);
    }
    if (i < bytes.size()) appendUtf8(out, kReplacement);
    return out;
}

std::string utf8ToUtf16(std::string_view text, bool bigEndian) {
    std::string out;
    out.reserve(text.size() * 2);
    const auto put = [&](char32_t u) {
        const char hi = static_cast<char>(u >> 8), lo = static_cast<char>(u & 0xFF);
        out += bigEndian ? hi : lo;
        out += bigEndian ? lo : hi;
    };
    for (std::size_t i = 0; i < text.size();) {
        char32_t c = 0;
        std::size_t n = utf8SequenceAt(text, i, c);
        if (n == 0) c = kReplacement, n = 1;
        if (c >= 0x10000) {
            put(0xD800 + ((c - 0x10000) >> 10));
            put(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            put(c);
        }
        i += n;
    }
    return out;
}

// Valid stretches are copied whole; each byte that starts no sequence
// becomes U+FFFD.
std::string sanitizedUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size();) {
        char32_t c = 0;
        const std::size_t n = utf8SequenceAt(s, i, c);
        if (n == 0) {
            appendUtf8(out, kReplacement);
            ++i;
        } else {
            out.append(s.substr(i, n));
            i += n;
        }
    }
    return out;
}

// BOM-less UTF-16 by its zero bytes: the ASCII characters of the text (line
// ends, tags, digits, Latin letters) have a zero high byte, while a zero low
// byte (U+xx00) is rare. Lyric lines are short, so even Japanese text gives
// one zero in a few dozen units. A stray zero or two in a small Shift-JIS
// file, or zeros everywhere (a binary file), match neither side.
std::optional<TextEncoding> bareUtf16(std::string_view bytes) {
    std::size_t zeros[2] = {0, 0};  // at even and at odd offsets
    for (std::size_t i = 0; i < bytes.size(); ++i) zeros[i & 1] += bytes[i] == '\0';
    const std::size_t units = bytes.size() / 2;
    const auto highSide = [units](std::size_t here, std::size_t there) {
        return here >= 2 && here * 32 >= units && there * 4 <= here;
    };
    if (highSide(zeros[1], zeros[0])) return TextEncoding::Utf16LeBare;
    if (highSide(zeros[0], zeros[1])) return TextEncoding::Utf16BeBare;
    return std::nullopt;
}

// Broken bytes a UTF-8 text may hold: one for every this many well-formed
// multi-byte characters. Shift-JIS Japanese text, read as UTF-8, has several
// broken bytes for every character that happens to read well.
constexpr std::size_t kCharactersPerBrokenByte = 8;

}  // namespace

const char* encodingName(TextEncoding e) {
    switch (e) {
        case TextEncoding::ShiftJis:
            return "Shift-JIS";
        case TextEncoding::Utf8:
            return "UTF-8";
        case TextEncoding::Utf8Bom:
            return "UTF-8 BOM";
        case TextEncoding::Utf16Le:
            return "UTF-16LE";
        case TextEncoding::Utf16Be:
            return "UTF-16BE";
        case TextEncoding::Utf16LeBare:
            return "UTF-16LE without BOM";
        case TextEncoding::Utf16BeBare:
            return "UTF-16BE without BOM";
    }
    return "";
}

bool isValidUtf8(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t n = utf8SequenceAt(bytes, i, c);
        if (n == 0) return false;
        i += n;
    }
    return true;
}

bool isValidSjis(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!isSjisLeadByte(c) || i + 1 == bytes.size()) return false;
        const auto t = static_cast<unsigned char>(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

PlainTextGuess guessPlainText(const std::vector<std::string_view>& pieces) {
    bool utf8 = true, sjis = true, multiByte = false;
    for (std::string_view t : pieces) {
        utf8 = utf8 && isValidUtf8(t);
        sjis = sjis && isValidSjis(t);
        multiByte = multiByte || std::any_of(t.begin(), t.end(), [](char c) { return c & 0x80; });
    }
    if (utf8 && multiByte) return PlainTextGuess::Utf8;
    if (sjis) return PlainTextGuess::ShiftJis;
    return PlainTextGuess::SingleByte;
}

TextEncoding detectTextEncoding(std::string_view bytes) {
    if (bytes.starts_with(kUtf8Mark)) return TextEncoding::Utf8Bom;
    if (bytes.starts_with(kUtf16LeMark)) return TextEncoding::Utf16Le;
    if (bytes.starts_with(kUtf16BeMark)) return TextEncoding::Utf16Be;
    if (std::optional<TextEncoding> utf16 = bareUtf16(bytes)) return *utf16;
    std::size_t multiByte = 0, broken = 0;
    for (std::size_t i = 0; i < bytes.size();) {
        char32_t c = 0;
        const std::size_t n = utf8SequenceAt(bytes, i, c);
        broken += n == 0;
        multiByte += n > 1;
        i += std::max<std::size_t>(n, 1);
    }
    if (broken == 0) return multiByte > 0 ? TextEncoding::Utf8 : TextEncoding::ShiftJis;
    if (broken * kCharactersPerBrokenByte <= multiByte && !isValidSjis(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::ShiftJis;
}

std::string toInternalText(std::string_view bytes, TextEncoding e) {
    switch (e) {
        case TextEncoding::ShiftJis:
        case TextEncoding::Utf8:
            return std::string(bytes);
        case TextEncoding::Utf8Bom:
            // The mark alone decides, so what follows it may be broken; the
            // readers count on UTF-8 in memory being whole.
            if (bytes.starts_with(kUtf8Mark)) bytes.remove_prefix(kUtf8Mark.size());
            return isValidUtf8(bytes) ? std::string(bytes) : sanitizedUtf8(bytes);
        case TextEncoding::Utf16Le:
            if (bytes.starts_with(kUtf16LeMark)) bytes.remove_prefix(2);
            return utf16ToUtf8(bytes, false);
        case TextEncoding::Utf16Be:
            if (bytes.starts_with(kUtf16BeMark)) bytes.remove_prefix(2);
            return utf16ToUtf8(bytes, true);
        case TextEncoding::Utf16LeBare:
            return utf16ToUtf8(bytes, false);
        case TextEncoding::Utf16BeBare:
            return utf16ToUtf8(bytes, true);
    }
    return std::string(bytes);
}

std::string fromInternalText(std::string_view text, TextEncoding e) {
    switch (e) {
        case TextEncoding::ShiftJis:
        case TextEncoding::Utf8:
            return std::string(text);
        case TextEncoding::Utf8Bom:
            return std::string(kUtf8Mark).append(text);
        case TextEncoding::Utf16Le:
            return std::string(kUtf16LeMark) + utf8ToUtf16(text, false);
        case TextEncoding::Utf16Be:
            return std::string(kUtf16BeMark) + utf8ToUtf16(text, true);
        case TextEncoding::Utf16LeBare:
            return utf8ToUtf16(text, false);
        case TextEncoding::Utf16BeBare:
            return utf8ToUtf16(text, true);
    }
    return std::string(text);
}

std::string lyricTextToUtf8(std::string_view bytes, TextEncoding e) {
    return isUnicode(e) ? sanitizedUtf8(bytes) : sjisToUtf8(bytes);
}

std::string windows1252ToUtf8(std::string_view bytes) {
    static constexpr char16_t kHigh[32] = {
        0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD, 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
    std::string out;
    out.reserve(bytes.size() * 2);
    for (char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        appendUtf8(out, c >= 0x80 && c < 0xA0 ? char32_t(kHigh[c - 0x80]) : char32_t(c));
    }
    return out;
}

}  // namespace orba
