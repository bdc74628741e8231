#include <climits>

#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/tags.h"
#include "lyrics/textforms.h"
#include "lyrics/timevalue.h"

namespace orba::fuzz {

namespace {

void checkLine(const std::string& raw, int nextLineTime) {
    std::string line = raw;
    takeColourTag(line);
    ORBA_FUZZ_CHECK(line.size() <= raw.size());
    ORBA_FUZZ_CHECK(stripTags(line).size() <= line.size());
    ORBA_FUZZ_CHECK(stripTagsKeepTime(line).size() <= line.size() + 10);
    ORBA_FUZZ_CHECK(plainTextForm(raw).size() <= raw.size());
    ORBA_FUZZ_CHECK(safeTextForm(raw).size() <= raw.size() + 2);
    for (int now : {0, 1500, 61000, INT_MAX}) {
        KaraokeParse k = parseKaraokeLine(now, line, nextLineTime);
        ORBA_FUZZ_CHECK(k.segmentProgress >= 0 && k.segmentProgress <= 10000);
        ORBA_FUZZ_CHECK(k.sungText.compare(0, k.doneText.size(), k.doneText) == 0);
        ORBA_FUZZ_CHECK(k.timingKind >= 0 && k.timingKind <= 4);
    }
}

}  // namespace

void lyricFile(std::string_view bytes) {
    const std::vector<std::string> lines = splitLines(bytes);
    for (const LyricLoadInput& in :
         {LyricLoadInput{true, false, 0, false}, LyricLoadInput{true, true, 180000, true}}) {
        LyricText text;
        try {
            text = prepareLyrics(lines, in);
        } catch (const ConversionError&) {
            return;  // a bad "@TimeRatio" stops the load: a result too
        }
        // The end line is empty, unless it is the only line and the edit mode
        // gave it the first time tag.
        ORBA_FUZZ_CHECK(!text.lyricLines.empty());
        ORBA_FUZZ_CHECK(text.lyricLines.back().empty() ||
                        (in.timeEditMode && text.lyricLines.size() == 1));
        ORBA_FUZZ_CHECK(in.timeEditMode ? text.lineTimes.size() == 1
                                        : text.lineTimes.size() == text.lyricLines.size());
        for (std::size_t i = 0; i < text.lyricLines.size(); ++i) {
            int next = i + 1 < text.lineTimes.size() ? readTimeValue(text.lineTimes[i + 1]) : 0;
            checkLine(text.lyricLines[i], next);
        }
    }
}

}  // namespace orba::fuzz
