// The small text steps that the readers of other lyric dialects (LRC,
// subtitles, UltraStar songs) take alike, on ASCII bytes that mean the same
// in every encoding a lyric file comes in.
#pragma once

#include <algorithm>
#include <string>
#include <string_view>

namespace orba {

// The largest time a ten-character time value "[mm:ss:cc]" can hold.
inline constexpr int kLastTimeValue = 99 * 60000 + 59 * 1000 + 990;

// A time within what a time value holds: below 0 is 0, past it stays there.
inline int heldTime(long long ms) {
    return static_cast<int>(std::clamp<long long>(ms, 0, kLastTimeValue));
}

inline bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

inline bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Without blanks at either end.
inline std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

inline std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

// Exactly "[dd:dd:dd]": a time value as the readers write them.
inline bool isTimeValueText(std::string_view s) {
    return s.size() == 10 && s[0] == '[' && isDigit(s[1]) && isDigit(s[2]) && s[3] == ':' &&
           isDigit(s[4]) && isDigit(s[5]) && s[6] == ':' && isDigit(s[7]) && isDigit(s[8]) &&
           s[9] == ']';
}

}  // namespace orba
