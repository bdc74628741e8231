#include "lyrics/tags.h"

#include <algorithm>

#include "lyrics/sjistext.h"

namespace orba {

namespace {

bool isHexDigit(unsigned char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::uint32_t hexOrWhite(std::string_view text) {
    if (text.empty()) return kDefaultLyricColour;
    std::uint32_t v = 0;
    for (char c : text) {
        unsigned char u = static_cast<unsigned char>(c);
        v = v * 16 + (u <= '9' ? u - '0' : (u | 0x20) - 'a' + 10);
    }
    return v;
}

// The "[" at `open` begins a time value when the first "]" after it, found
// per character, is its tenth character.
bool timeValueAt(std::string_view s, std::size_t open, TextEncoding e) {
    std::size_t close = open + 9;
    std::size_t i = open + 1;
    while (i < close && i < s.size()) {
        if (s[i] == ']') return false;
        i += textCharLength(s, i, e);
    }
    return i == close && close < s.size() && s[close] == ']';
}

// Time values are removed while the first "[" of the line begins one; the
// first "[" or "]" that does not ends the removal for the whole line.
std::string removeTimeValues(std::string_view s, TextEncoding e) {
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (;;) {
        std::size_t p = sjisFindEither(s, '[', ']', pos, e);
        if (p == std::string_view::npos || s[p] == ']' || !timeValueAt(s, p, e)) break;
        out.append(s.substr(pos, p - pos));
        pos = p + 10;
    }
    out.append(s.substr(pos));
    return out;
}

// Each tag is removed by a fixed length decided from the bytes after its "\";
// the text before it is final, so one pass from left to right does it.
std::string removeUkagakaTags(std::string_view s, TextEncoding e) {
    auto byteIs = [&](std::size_t j, char c) { return j < s.size() && s[j] == c; };
    std::string out;
    out.reserve(s.size());
    std::size_t pos = 0;
    for (;;) {
        std::size_t b = sjisFind(s, '\\', pos, e);
        if (b == std::string_view::npos) break;
        out.append(s.substr(pos, b - pos));
        std::size_t k = byteIs(b + 1, '_') ? 1 : 0;
        std::size_t d = b + k;
        std::size_t n = 2;
        if (byteIs(d + 1, 'w')) n = 3;
        if (byteIs(d + 4, ']')) n = 5;
        if (byteIs(d + 5, ']')) n = 6;
        if (byteIs(d + 6, ']')) n = 7;
        if (byteIs(d + 7, ']')) n = 8;
        pos = std::min(s.size(), b + k + n);
    }
    out.append(s.substr(pos));
    return out;
}

}  // namespace

std::uint32_t takeColourTag(std::string& line, TextEncoding e) {
    int n = 0;
    std::size_t start = 0;
    std::string digits;
    for (std::size_t i = 0; i < line.size(); ++i) {
        unsigned char ch = static_cast<unsigned char>(line[i]);
        if (ch == '[') {
            start = i;
            ++n;
        } else if (ch == '#' && n == 1) {
            n = 2;
        } else if (n >= 2 && isHexDigit(ch)) {
            digits += static_cast<char>(ch);
            ++n;
        } else if (ch == ']' && n == 8) {
            std::string_view d = digits;
            auto part = [&](std::size_t at) {
                return at < d.size() ? d.substr(at, 2) : std::string_view();
            };
            std::string bgr;
            bgr.append(part(4)).append(part(2)).append(part(0));
            // Only the tag itself goes, up to its "]": a malformed run such as
            // "[#12[345]" never takes a byte that follows it.
            line.erase(start, i + 1 - start);
            return hexOrWhite(bgr);
        } else {
            digits.clear();
            n = 0;
            // The second byte of a double-byte character never opens a tag.
            i += textCharLength(line, i, e) - 1;
        }
    }
    return kDefaultLyricColour;
}

std::string stripTags(std::string_view line, TextEncoding e) {
    return removeUkagakaTags(removeTimeValues(line, e), e);
}

std::string stripTagsKeepTime(std::string_view line, TextEncoding e) {
    if (!line.empty() && line[0] == '[' && timeValueAt(line, 0, e))
        return std::string(line.substr(0, 10)) + stripTags(line, e);
    return stripTags(line, e);
}

const char* tagTypeName(int tagType) {
    switch (tagType) {
        case 1:
            return "Plain Text";
        case 2:
            return "Time Tag";
        case 3:
            return "Karaoke Tag";
        case 4:
            return "ukagaka Tag";
        default:
            return "----";
    }
}

}  // namespace orba
