#include "lyrics/timevalue.h"

#include <charconv>
#include <climits>
#include <cstdio>
#include <iterator>

namespace orba {

namespace {

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isScanfSpace(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

// One "%d": blanks, an optional sign and at least one digit. Returns false,
// leaving `pos`, when there is no number.
bool scanInt(std::string_view s, std::size_t& pos, long long& value) {
    std::size_t i = pos;
    while (i < s.size() && isScanfSpace(s[i])) ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size() || !isDigit(s[i])) return false;
    long long v = 0;
    for (; i < s.size() && isDigit(s[i]); ++i) {
        if (v <= INT_MAX) v = v * 10 + (s[i] - '0');
    }
    if (v > INT_MAX)
        v = negative ? -(long long)INT_MAX - 1 : INT_MAX;
    else if (negative)
        v = -v;
    value = v;
    pos = i;
    return true;
}

std::string threeFields(const char* format, long long a, long long b, long long c) {
    char buf[80];
    std::snprintf(buf, sizeof buf, format, a, b, c);
    return buf;
}

}  // namespace

int clampMs(long long ms) {
    if (ms > INT_MAX) return INT_MAX;
    if (ms < INT_MIN) return INT_MIN;
    return static_cast<int>(ms);
}

std::string formatTimeValue(long long ms) {
    // A song load formats one value per lyric line: values that are not
    // negative are written without the printf machinery.
    if (ms >= 0) {
        char buffer[32] = "[0";
        const long long minutes = ms / 60000;
        char* p = std::to_chars(buffer + (minutes < 10 ? 2 : 1), std::end(buffer), minutes).ptr;
        for (long long field : {ms / 1000 % 60, ms / 10 % 100}) {
            *p++ = ':';
            *p++ = static_cast<char>('0' + field / 10);
            *p++ = static_cast<char>('0' + field % 10);
        }
        *p++ = ']';
        return std::string(buffer, p);
    }
    return threeFields("[%02lld:%02lld:%02lld]", (ms / 1000) / 60, (ms / 1000) % 60,
                       (ms / 10) % 100);
}

std::string debugTimeText(long long ms) {
    return threeFields("%02lld:%02lld:%02lld", ms / 60000, (ms / 1000) % 60, (ms / 10) % 100);
}

int readTimeValue(std::string_view s) {
    long long field[3] = {0, 0, 0};
    std::size_t pos = 0;
    if (s.empty() || s[0] != '[') return 0;
    pos = 1;
    for (int k = 0; k < 3; ++k) {
        if (!scanInt(s, pos, field[k])) break;
        if (k < 2) {
            if (pos >= s.size() || s[pos] != ':') break;
            ++pos;
        }
    }
    return clampMs(field[0] * 60000 + field[1] * 1000 + field[2] * 10);
}

int decimalOrZero(std::string_view s) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) negative = s[i++] == '-';
    if (i >= s.size()) return 0;
    long long v = 0;
    for (; i < s.size(); ++i) {
        if (!isDigit(s[i])) return 0;
        v = v * 10 + (s[i] - '0');
        if (v > (long long)INT_MAX + 1) return 0;
    }
    if (negative) v = -v;
    return v > INT_MAX ? 0 : static_cast<int>(v);
}

}  // namespace orba
