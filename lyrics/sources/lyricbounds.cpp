#include "lyrics/sources/lyricbounds.h"

namespace orba {

std::size_t wholeCharsPrefix(std::string_view text, std::size_t most, TextEncoding e) {
    if (text.size() <= most) return text.size();
    std::size_t i = 0;
    for (std::size_t next; i < text.size() && (next = i + textCharLength(text, i, e)) <= most;)
        i = next;
    return i;
}

std::string boundLyricText(std::vector<std::string>& lines, TextEncoding e) {
    std::size_t total = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() <= kMaxLyricTextBytes - total) {
            total += lines[i].size();
            continue;
        }
        lines[i].resize(wholeCharsPrefix(lines[i], kMaxLyricTextBytes - total, e));
        const std::size_t left = lines.size() - i - 1;
        lines.resize(i + 1);
        return "the lyric text is cut at " + std::to_string(kMaxLyricTextBytes) +
               " bytes in line " + std::to_string(i + 1) + "; " + std::to_string(left) +
               " lines after it are left out";
    }
    return "";
}

std::string firstOfCuts(const std::string& first, std::size_t times) {
    if (times <= 1) return first;
    return first + " (and " + std::to_string(times - 1) + " more like it)";
}

std::string quotedPart(std::string_view text, TextEncoding e) {
    constexpr std::size_t kMost = 40;
    if (text.size() <= kMost) return std::string(text);
    return std::string(text.substr(0, wholeCharsPrefix(text, kMost, e))) + "...";
}

}  // namespace orba
