#include "authoring/timeedit.h"

#include <algorithm>

#include "lyrics/timevalue.h"

namespace orba {

namespace {

// "[" and "]" around digits, ":" and ".": the time values of this player and
// the looser ones of other tools ("[0:10:00]", "[00:10.50]"). A line that
// begins with "[" but has no "]" has none.
std::size_t timeTagLength(std::string_view line) {
    if (line.empty() || line[0] != '[') return 0;
    std::size_t i = 1;
    while (i < line.size() &&
           ((line[i] >= '0' && line[i] <= '9') || line[i] == ':' || line[i] == '.'))
        ++i;
    return i < line.size() && line[i] == ']' ? i + 1 : 0;
}

bool isHexDigit(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
}

std::size_t colourTagLength(std::string_view line) {
    if (line.size() < 9 || line[0] != '[' || line[1] != '#' || line[8] != ']') return 0;
    return std::all_of(line.begin() + 2, line.begin() + 8, isHexDigit) ? 9 : 0;
}

}  // namespace

void setTimeEditMode(TimeEditState& edit, bool on) {
    edit.timeEditMode = on;
    edit.editFrameDrawn = false;
}

std::string retagLine(std::string_view line, std::string_view tag) {
    std::size_t colour = colourTagLength(line);
    std::size_t old = timeTagLength(line.substr(colour));
    std::string out(tag);
    out.append(line.substr(0, colour)).append(line.substr(colour + old));
    return out;
}

std::string untagLine(std::string_view line) {
    return std::string(line.substr(timeTagLength(line)));
}

bool setAndNext(TimeEditState& edit, std::vector<std::string>& lyricLines,
                std::vector<std::string>& lineTimes, int tapTime) {
    const std::size_t next = lineTimes.size();
    if (!edit.editFrameDrawn || next == 0 || next + 1 >= lyricLines.size()) return false;
    std::string tag = formatTimeValue(std::max(tapTime, 0));
    lyricLines[next] = retagLine(lyricLines[next], tag);
    lineTimes.push_back(std::move(tag));
    edit.editFrameDrawn = false;
    return true;
}

std::optional<Rewind> backAndRewind(TimeEditState& edit, std::vector<std::string>& lyricLines,
                                    std::vector<std::string>& lineTimes, bool isMidi,
                                    int currentLine) {
    if (isMidi || !edit.editFrameDrawn) return std::nullopt;
    edit.editFrameDrawn = false;
    if (currentLine < 0) return std::nullopt;
    const std::size_t tagged = lineTimes.size();
    // Line 0 keeps its [00:00:00]: only the music restarts.
    if (tagged < 2) return Rewind{0, currentLine};
    if (tagged - 1 < lyricLines.size()) lyricLines[tagged - 1] = untagLine(lyricLines[tagged - 1]);
    lineTimes.pop_back();
    return Rewind{readTimeValue(lineTimes.back()), static_cast<int>(tagged) - 2};
}

}  // namespace orba
