// Where a song's lyrics come from, and the reading of each kind of source
// into the player's own tagged lines.
//
// For a music file D/B.E the lyrics are, in order: the lyric file the
// companion rule chose when it is D/B_t.txt or D/B.txt, then D/B.lrc, then
// the lyrics inside the music file (MIDI lyric events, or the lyrics tag of
// an MP3 or Ogg file), then any other lyric file chosen (one kept from the
// song before). Lyrics inside the song thus win over a kept file.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/lyricform.h"

namespace orba {

struct LyricSource {
    bool found = false;
    // The file the lines were read from; for lyrics inside a music file, the
    // music file itself.
    std::string path;
    std::vector<std::string> lines;  // in memory's form, before the load's text steps
    LyricForm form;
    int tagType = 0;  // the kind an LRC or MIDI source is; 0 lets the tag census decide
};

// "file", "MIDI events", "music tag" or "none", as the tools report them.
const char* lyricSourceName(LyricSourceKind kind);
// "tagged text", "LRC", "enhanced LRC" or "MIDI lyrics".
const char* lyricDialectName(LyricDialect dialect);

// The lyrics tag of a music file as UTF-8 text, empty when it has none.
using MusicTagLyricsReader = std::function<std::string(const std::string& musicFile)>;

// A lyric file's bytes: the encoding from the bytes, the dialect from the
// name (".lrc", any letter case) or, for `lrcByContent`, from line times in
// the text.
LyricSource lyricSourceFromBytes(std::string_view bytes, bool lrc);

// A lyric file on disk; not found when it cannot be read.
LyricSource readLyricFile(const std::string& path);

// The lyrics inside a music file: MIDI lyric events when the bytes are a MIDI
// file, else the music tag (the reader may be empty). Not found when none.
LyricSource readEmbeddedLyrics(const std::string& musicFile, const MusicTagLyricsReader& readTag);

// The song's lyrics by the order above. `musicFile` is empty when no music
// plays; `messageFile` and `useMessage` are the lyric file field and its
// check box after the companion rule.
LyricSource findLyricSource(const std::string& musicFile, const std::string& messageFile,
                            bool useMessage, const MusicTagLyricsReader& readTag);

}  // namespace orba
