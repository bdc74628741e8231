// Time values: the ten characters [mm:ss:cc] that time lyric lines.
// Milliseconds = mm × 60000 + ss × 1000 + cc × 10.
#pragma once

#include <string>
#include <string_view>

namespace orba {

// "[%02d:%02d:%02d]" with minutes (ms / 1000) / 60, seconds (ms / 1000) mod 60
// and hundredths (ms / 10) mod 100; minutes above 99 take more digits.
std::string formatTimeValue(long long ms);

// The debug overlay's form without brackets; minutes are ms / 60000.
std::string debugTimeText(long long ms);

// Reads "[%d:%d:%d]" from the start of the text as a scanf would: fields it
// cannot read count as 0. Fields too large for an int saturate, and so does
// the sum, so a time never wraps round.
int readTimeValue(std::string_view text);

// The loader's and the frame loop's test for a leading time value: "[" as the
// first and "]" as the tenth byte, nothing else looked at.
inline bool beginsWithTimeValue(std::string_view line) {
    return line.size() >= 10 && line[0] == '[' && line[9] == ']';
}

// A decimal integer filling the whole text (an optional sign, digits), or 0
// when the text is not one or does not fit an int.
int decimalOrZero(std::string_view text);

// Clamps a 64-bit millisecond count to the range of an int.
int clampMs(long long ms);

}  // namespace orba
