#include "lyrics/sources/musictag.h"

#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricsource.h"
#include "platform/textencoding.h"

namespace orba::fuzz {

void musicTag(std::string_view bytes) {
    const MusicTag tag = readMusicTagBytes(bytes);
    ORBA_FUZZ_CHECK(tag.lyrics.size() <= kMaxTagLyricsBytes);
    ORBA_FUZZ_CHECK(tag.lyrics.empty() || tag.note.empty());
    ORBA_FUZZ_CHECK(isValidUtf8(tag.title) && isValidUtf8(tag.artist));
    if (tag.lyrics.empty()) return;
    // The text goes on as the player takes it: as lines, read as LRC when timed.
    ORBA_FUZZ_CHECK(isValidUtf8(tag.lyrics));
    const LyricSource source = lyricSourceFromBytes(tag.lyrics, false);
    if (hasLrcLineTimes(source.lines)) {
        const LrcText lrc = readLrc(source.lines, source.form.encoding);
        for (const std::string& line : lrc.lines) ORBA_FUZZ_CHECK(isValidUtf8(line));
    }
}

}  // namespace orba::fuzz
