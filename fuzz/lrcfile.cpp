#include "fuzz/check.h"
#include "fuzz/loadsteps.h"
#include "fuzz/targets.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/tags.h"
#include "lyrics/timevalue.h"
#include "platform/textencoding.h"

namespace orba::fuzz {

void lrcFile(std::string_view bytes) {
    const LyricSource source = lyricSourceFromBytes(bytes, true);
    const TextEncoding e = source.form.encoding;
    // UTF-8 without a mark keeps a few broken bytes as they are, so that a
    // save gives them back; lines must be whole wherever the text was.
    const std::string fileText = isUnicode(e) ? toInternalText(bytes, e) : std::string(bytes);
    const bool wholeText = isUnicode(e) && isValidUtf8(fileText);
    // A file without a single LRC time is read as the player's own text,
    // whose time tags may say what they like.
    const bool timesMade = hasLrcLineTimes(splitLines(fileText));
    ORBA_FUZZ_CHECK(source.tagType == 2 || source.tagType == 3);
    for (const std::string& line : source.lines) {
        // A line made from LRC times starts with a time value the engine
        // reads back.
        if (timesMade && !line.empty() && line[0] == '[' && beginsWithTimeValue(line))
            ORBA_FUZZ_CHECK(readTimeValue(line) >= 0);
        if (wholeText) ORBA_FUZZ_CHECK(isValidUtf8(line));
    }

    // Saved and read again, the file is what was read: its lines, the lines
    // kept aside and the headers (the offset's clamping at 0 aside, which a
    // save cannot undo, and a file cut to its bounds, which a save cannot
    // make whole again).
    if (source.form.offsetMs == 0 && source.warnings.empty()) {
        std::vector<std::string> loaded = source.lines;
        loaded.emplace_back();
        std::string saved;
        for (const std::string& l : lrcFileLines(loaded, source.form)) saved.append(l).append("\n");
        const LrcText again = readLrc(splitLines(saved), e);
        ORBA_FUZZ_CHECK(again.lines == source.lines);
        ORBA_FUZZ_CHECK(again.keptLines == source.form.keptLines);
        ORBA_FUZZ_CHECK(again.headerLines == source.form.headerLines);
    }
    std::size_t total = 0;
    for (const std::string& line : source.lines) total += line.size();
    ORBA_FUZZ_CHECK(total <= kMaxLyricTextBytes);

    throughTheLoad(source.lines, e, source.tagType, wholeText);
}

}  // namespace orba::fuzz
