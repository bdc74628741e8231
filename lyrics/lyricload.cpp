#include "lyrics/lyricload.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "lyrics/sjistext.h"
#include "lyrics/timevalue.h"
#include "platform/sjis.h"
#include "platform/textencoding.h"

namespace orba {

namespace {

bool startsWith(const std::string& s, std::string_view prefix) {
    return s.compare(0, prefix.size(), prefix) == 0;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c + 32) : c; };
        return lower(x) == lower(y);
    });
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// A decimal floating-point number with "." as separator, blanks around it
// allowed; nothing when the text is anything else (inf and nan included).
bool parseDecimal(std::string_view s, double& value) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    bool negative = false;
    if (!s.empty() && (s.front() == '+' || s.front() == '-')) {
        negative = s.front() == '-';
        s.remove_prefix(1);
    }
    if (s.empty() || !(std::isdigit(static_cast<unsigned char>(s.front())) || s.front() == '.'))
        return false;
    double v = 0;
    auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v, std::chars_format::general);
    if (ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return false;
    value = negative ? -v : v;
    return true;
}

}  // namespace

double readTimeRatio(const std::vector<std::string>& lines, TextEncoding e) {
    for (const std::string& line : lines) {
        std::size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        if (!equalsIgnoringAsciiCase(std::string_view(line).substr(0, eq), "@TimeRatio")) continue;
        std::string_view value = std::string_view(line).substr(eq + 1);
        double ratio = 1.0;
        if (!parseDecimal(value, ratio))
            throw ConversionError("'" + lyricTextToUtf8(value, e) +
                                  "' は浮動小数点数ではありません");
        return ratio;
    }
    return 1.0;
}

TagCensus tagCensus(const std::vector<std::string>& lines, TextEncoding e) {
    TagCensus census;
    for (const std::string& line : lines) {
        if (line.empty()) continue;
        // The window is bytes 2 to 257 of the line. Walking from the line's
        // start keeps character boundaries, so when the first character is a
        // double-byte one its second byte is not taken for a tag character.
        std::string_view window = std::string_view(line).substr(0, 257);
        bool close = false, open = false, slash = false;
        for (std::size_t i = textCharLength(window, 0, e); i < window.size();
             i += textCharLength(window, i, e)) {
            close = close || window[i] == ']';
            open = open || window[i] == '[';
            slash = slash || window[i] == '\\';
        }
        census.closeCount += close;
        census.openCount += open;
        census.slashCount += slash;
    }
    return census;
}

int decideTagType(const TagCensus& census, std::size_t lineCount) {
    const long long third = static_cast<long long>(lineCount / 3);
    int tagType = 1;
    // The "[" and "\\" tests are independent of each other: a time-tagged
    // file whose lines carry waits is an ukagaka file.
    if (census.closeCount > third) {
        tagType = 2;
        if (census.openCount > third) tagType = 3;
        if (census.slashCount > third) tagType = 4;
    }
    return tagType;
}

bool isNonLyricLine(std::string_view line) {
    return line.empty() || line.starts_with("@") || line.starts_with("//") ||
           line.starts_with("--------");
}

void removeNonLyricLines(std::vector<std::string>& lines) {
    std::erase_if(lines, [](const std::string& line) { return isNonLyricLine(line); });
}

std::vector<std::string> lineTimes(const std::vector<std::string>& lines, const LineTimeInput& in) {
    std::vector<std::string> times;
    times.reserve(lines.size());
    long long prevIndex = -1;
    long long prevTime = 0;
    const long long last = static_cast<long long>(lines.size()) - 1;
    for (long long i = 0; i <= last; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i)];
        if (!beginsWithTimeValue(line) && i != last) continue;
        long long t;
        if (i == last &&
            !(startsWith(line, "[") && sjisFind(line, ']', 0, in.encoding) != std::string::npos)) {
            t = in.useBgm ? in.songLength : clampMs(prevTime + (i - prevIndex) * 3000);
        } else {
            t = readTimeValue(line);
        }
        for (long long j = prevIndex + 1; j < i; ++j) {
            long long x = prevIndex == -1
                              ? (t / i) * j
                              : ((t - prevTime) / (i - prevIndex)) * (j - prevIndex) + prevTime;
            times.push_back(formatTimeValue(x));
        }
        times.push_back(formatTimeValue(t));
        prevTime = t;
        prevIndex = i;
    }
    return times;
}

std::vector<std::string> prepareTimeEditMode(std::vector<std::string>& lines, TextEncoding e) {
    if (!lines.empty()) {
        std::string& first = lines.front();
        std::size_t close = sjisFind(first, ']', 0, e);
        if (close != std::string::npos) first.erase(0, close + 1);
        first.insert(0, "[00:00:00]");
    }
    return {"[00:00:00]"};
}

LyricText prepareLyrics(std::vector<std::string> lines, const LyricLoadInput& in) {
    LyricText text;
    if (!in.useMessage) lines.clear();
    if (in.useMessage) {
        try {
            text.timeRatio = readTimeRatio(lines, in.encoding);
        } catch (const ConversionError& e) {
            if (in.file.empty()) throw;
            throw ConversionError(in.file + ": " + e.what());
        }
        text.tagType = in.tagType != 0 ? in.tagType
                                       : decideTagType(tagCensus(lines, in.encoding), lines.size());
        if (text.tagType >= 2) removeNonLyricLines(lines);
        lines.emplace_back();
    }
    text.lineTimes = lineTimes(lines, {in.useBgm, in.songLength, in.encoding});
    if (in.timeEditMode) text.lineTimes = prepareTimeEditMode(lines, in.encoding);
    text.lyricLines = std::move(lines);
    return text;
}

}  // namespace orba
