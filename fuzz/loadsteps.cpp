#include "fuzz/loadsteps.h"

#include "fuzz/check.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/tags.h"
#include "lyrics/timevalue.h"

namespace orba::fuzz {

std::optional<LyricText> throughTheLoad(const std::vector<std::string>& lines, TextEncoding e,
                                        int tagType, bool wholeUtf8) {
    LyricLoadInput in;
    in.useMessage = true;
    in.encoding = e;
    in.tagType = tagType;
    LyricText text;
    try {
        text = prepareLyrics(lines, in);
    } catch (const ConversionError&) {
        return std::nullopt;
    }
    ORBA_FUZZ_CHECK(text.lineTimes.size() == text.lyricLines.size());
    for (std::size_t i = 0; i < text.lyricLines.size(); ++i) {
        std::string line = text.lyricLines[i];
        takeColourTag(line, e);
        ORBA_FUZZ_CHECK(stripTags(line, e).size() <= line.size());
        const int next = i + 1 < text.lineTimes.size() ? readTimeValue(text.lineTimes[i + 1]) : 0;
        for (int now : {0, 2500, 600000}) {
            const KaraokeParse k = parseKaraokeLine(now, line, next, e);
            ORBA_FUZZ_CHECK(k.segmentProgress >= 0 && k.segmentProgress <= 10000);
            if (wholeUtf8) ORBA_FUZZ_CHECK(isValidUtf8(k.sungText) && isValidUtf8(k.restText));
        }
    }
    return text;
}

}  // namespace orba::fuzz
