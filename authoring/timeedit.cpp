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

void setTimeEditMode(PlayerState& state, bool on) {
    state.timeEditMode = on;
    state.editFrameDrawn = false;
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

bool setAndNext(PlayerState& state, int tapTime) {
    const std::size_t next = state.lineTimes.size();
    if (!state.editFrameDrawn || next == 0 || next + 1 >= state.lyricLines.size()) return false;
    std::string tag = formatTimeValue(std::max(tapTime, 0));
    state.lyricLines[next] = retagLine(state.lyricLines[next], tag);
    state.lineTimes.push_back(std::move(tag));
    state.editFrameDrawn = false;
    return true;
}

std::optional<int> backAndRewind(PlayerState& state) {
    if (state.isMidi || !state.editFrameDrawn) return std::nullopt;
    state.editFrameDrawn = false;
    if (state.currentLine < 0) return std::nullopt;
    const std::size_t tagged = state.lineTimes.size();
    if (tagged < 2) return 0;  // line 0 keeps its [00:00:00]: only the music restarts
    if (tagged - 1 < state.lyricLines.size())
        state.lyricLines[tagged - 1] = untagLine(state.lyricLines[tagged - 1]);
    state.lineTimes.pop_back();
    state.currentLine = static_cast<int>(tagged) - 2;
    return readTimeValue(state.lineTimes.back());
}

}  // namespace orba
