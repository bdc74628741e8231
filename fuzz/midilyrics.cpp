#include "lyrics/sources/midilyrics.h"

#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/tags.h"
#include "lyrics/timevalue.h"

namespace orba::fuzz {

void midiLyrics(std::string_view bytes) {
    const std::optional<MidiLyrics> r = readMidiLyrics(bytes);
    if (!r) return;
    ORBA_FUZZ_CHECK(!r->lines.empty());
    ORBA_FUZZ_CHECK(isValidUtf8(r->title) && isValidUtf8(r->artist));
    int previous = 0;
    for (const std::string& line : r->lines) {
        // Every line starts with its first syllable's time, in tick order.
        ORBA_FUZZ_CHECK(beginsWithTimeValue(line));
        const int t = readTimeValue(line);
        ORBA_FUZZ_CHECK(t >= previous);
        previous = t;
        ORBA_FUZZ_CHECK(line.find_first_of("\r\n") == std::string::npos);
        if (isUnicode(r->encoding)) ORBA_FUZZ_CHECK(isValidUtf8(line));
        const KaraokeParse k = parseKaraokeLine(t + 100, line, t + 5000, r->encoding);
        ORBA_FUZZ_CHECK(k.segmentProgress >= 0 && k.segmentProgress <= 10000);
        stripTags(line, r->encoding);
    }
}

}  // namespace orba::fuzz
