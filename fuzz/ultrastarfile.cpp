#include "fuzz/check.h"
#include "fuzz/loadsteps.h"
#include "fuzz/targets.h"
#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/readertext.h"
#include "lyrics/sources/ultrastarreader.h"
#include "lyrics/timevalue.h"

namespace orba::fuzz {

namespace {

void checkSong(const UltraStarText& u) {
    if (!u.problem.empty()) {
        ORBA_FUZZ_CHECK(u.lines.empty() && u.notes.empty());
        return;
    }
    ORBA_FUZZ_CHECK(!u.lines.empty());
    int previous = 0;
    for (const std::string& line : u.lines) {
        ORBA_FUZZ_CHECK(beginsWithTimeValue(line));
        const int t = readTimeValue(line);
        ORBA_FUZZ_CHECK(t >= previous && t <= kLastTimeValue);
        previous = t;
    }
    // Notes by line, each line's in time order, never before it or past the
    // last time value.
    int line = 0, start = 0;
    for (const SungNote& n : u.notes) {
        ORBA_FUZZ_CHECK(n.line >= line && n.line < static_cast<int>(u.lines.size()));
        if (n.line != line) start = 0;
        ORBA_FUZZ_CHECK(n.startMs >= start && n.startMs >= readTimeValue(u.lines[n.line]));
        ORBA_FUZZ_CHECK(n.lengthMs >= 0 && n.startMs + n.lengthMs <= kLastTimeValue);
        ORBA_FUZZ_CHECK(n.singer >= 0 && n.singer <= 3);
        line = n.line;
        start = n.startMs;
    }
}

}  // namespace

void ultraStarFile(std::string_view bytes) {
    // Read as it is, whatever its headers say.
    const TextEncoding e = detectTextEncoding(bytes);
    const std::vector<std::string> lines =
        splitLines(isUnicode(e) ? toInternalText(bytes, e) : std::string(bytes));
    const UltraStarText u = readUltraStar(lines, e);
    checkSong(u);

    // The audio it names never leads out of its folder.
    std::string why;
    const std::string audio = ultraStarAudioPath("/songs/a/song.txt", u.audio, why);
    ORBA_FUZZ_CHECK(audio.empty() != why.empty());
    if (!audio.empty()) {
        ORBA_FUZZ_CHECK(audio.rfind("/songs/a/", 0) == 0);
        ORBA_FUZZ_CHECK((audio + "/").find("/../") == std::string::npos);
    }

    // Read as a lyric file named ".txt", as the player reads it.
    const LyricSource source = lyricSourceFromBytes(bytes, LyricFileKind::Txt);
    if (!source.found || source.form.dialect != LyricDialect::UltraStar) return;
    std::size_t total = 0;
    for (const std::string& l : source.lines) total += l.size();
    ORBA_FUZZ_CHECK(total <= kMaxLyricTextBytes);
    for (const SungNote& n : source.notes)
        ORBA_FUZZ_CHECK(n.line >= 0 && static_cast<std::size_t>(n.line) < source.lines.size());
    const std::optional<LyricText> text =
        throughTheLoad(source.lines, source.form.encoding, source.tagType);
    // The loader keeps every line, so the notes' lines stay theirs.
    if (text) ORBA_FUZZ_CHECK(text->lyricLines.size() == source.lines.size() + 1);
}

}  // namespace orba::fuzz
