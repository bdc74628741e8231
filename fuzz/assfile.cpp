#include <algorithm>

#include "fuzz/check.h"
#include "fuzz/loadsteps.h"
#include "fuzz/targets.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/assreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/readertext.h"
#include "lyrics/tags.h"
#include "lyrics/timevalue.h"

namespace orba::fuzz {

namespace {

std::vector<int> leadTimes(const std::vector<std::string>& lines) {
    std::vector<int> times;
    for (const std::string& line : lines) times.push_back(readTimeValue(line));
    std::sort(times.begin(), times.end());
    return times;
}

}  // namespace

void assFile(std::string_view bytes) {
    const LyricSource source = lyricSourceFromBytes(bytes, LyricFileKind::Ass);
    if (!source.found) {
        // A file that gives no lyrics says why, and gives nothing else.
        ORBA_FUZZ_CHECK(!source.note.empty());
        ORBA_FUZZ_CHECK(source.lines.empty());
        return;
    }
    const TextEncoding e = source.form.encoding;
    ORBA_FUZZ_CHECK(source.tagType == 2 || source.tagType == 3);
    int previous = 0;
    std::size_t total = 0;
    for (const std::string& line : source.lines) {
        // Every line starts with its Start as a time value, in time order.
        ORBA_FUZZ_CHECK(beginsWithTimeValue(line));
        const int t = readTimeValue(line);
        ORBA_FUZZ_CHECK(t >= previous && t <= kLastTimeValue);
        previous = t;
        total += line.size();
    }
    ORBA_FUZZ_CHECK(total <= kMaxLyricTextBytes);

    std::vector<std::string> loaded = source.lines;
    loaded.emplace_back();
    const std::vector<std::string>& fileLines = source.form.headerLines;
    // Saved as read, the file is what it was; only a cut line is rewritten.
    if (source.warnings.empty()) ORBA_FUZZ_CHECK(assFileLines(loaded, fileLines, e) == fileLines);
    // Every line moved on by 10 ms reads back moved, whatever else is in it.
    std::vector<std::string> moved = loaded;
    for (std::size_t i = 0; i + 1 < moved.size(); ++i)
        moved[i] = formatTimeValue(std::min(readTimeValue(moved[i]) + 10, kLastTimeValue)) +
                   moved[i].substr(10);
    const AssText again = readAss(assFileLines(moved, fileLines, e), e);
    if (source.warnings.empty()) {
        moved.pop_back();
        ORBA_FUZZ_CHECK(again.problem.empty());
        ORBA_FUZZ_CHECK(leadTimes(again.lines) == leadTimes(moved));
    }

    throughTheLoad(source.lines, e, source.tagType);
}

}  // namespace orba::fuzz
