// Where a song's lyrics come from, and the reading of each kind of source
// into the player's own tagged lines.
//
// For a music file D/B.E the lyrics are, in order: the lyric file the
// companion rule chose when it is D/B_t.txt or D/B.txt (an UltraStar song
// when its headers say so), then D/B.lrc, then D/B.ass and D/B.ssa, then
// the lyrics inside the music file (MIDI lyric events, or the lyrics tag of
// an MP3, Ogg or other tagged file), then any other lyric file chosen (one kept from the
// song before). Lyrics inside the song thus win over a kept file.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/sources/musictag.h"
#include "lyrics/sungnote.h"
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
    // Not found: why the lyrics looked for were not read, in words for the
    // user ("larger than 4 MiB"), with `path` the file it is about; empty
    // when there was nothing to read (a song without lyrics).
    std::string note;
    // What the reader left out to stay within the bounds of lyricbounds.h.
    std::vector<std::string> warnings;
    // The notes the lines are sung on, when the source knows them.
    std::vector<SungNote> notes;
};

// How a lyric file's bytes are read, by its name: ".lrc" as LRC, ".ass" and
// ".ssa" as subtitles, ".txt" as an UltraStar song when its headers say so
// and else as the player's own text, anything else as the player's own text.
enum class LyricFileKind : std::uint8_t { TaggedText, Lrc, Ass, Txt };
LyricFileKind lyricFileKindOf(std::string_view path);

// "file", "MIDI events", "music tag" or "none", as the tools report them.
const char* lyricSourceName(LyricSourceKind kind);
// "tagged text", "LRC", "enhanced LRC", "MIDI lyrics", "ASS" or "UltraStar".
const char* lyricDialectName(LyricDialect dialect);

// A lyric file's bytes: the encoding from the bytes, the dialect from the
// kind of file. A file that gives no lyrics (subtitles without dialogue, an
// UltraStar song without a usable BPM) is not found, and its note says why.
LyricSource lyricSourceFromBytes(std::string_view bytes, LyricFileKind kind);
// The same with `lrc` for LyricFileKind::Lrc, else the player's own text.
LyricSource lyricSourceFromBytes(std::string_view bytes, bool lrc);

// A lyric file on disk; not found, with a note, when it cannot be read.
LyricSource readLyricFile(const std::string& path);

// The audio file an UltraStar song file names (#AUDIO, else #MP3), in UTF-8
// and as written (perhaps empty); nothing when the file is no UltraStar song.
std::optional<std::string> ultraStarAudioOf(const std::string& path);
// The same for its #VIDEO header.
std::optional<std::string> ultraStarVideoOf(const std::string& path);

// The lyrics inside a music file: MIDI lyric events when the bytes are a MIDI
// file, else the music tag (the reader may be empty); the tag's title and
// artist stand where the lyrics name none. Not found when none; a karaoke
// file (".kar") without lyrics, or a tag passed over, says so in the note.
LyricSource readEmbeddedLyrics(const std::string& musicFile, const MusicTagReader& readTag);

// One place a song's lyrics may be read from: a lyric file, or the lyrics
// inside a music file.
struct LyricCandidate {
    std::string path;
    bool insideMusic = false;
    bool operator==(const LyricCandidate&) const = default;
};

// Which lyric files of other kinds lie beside a music file D/B.E.
struct LyricFilesBeside {
    bool lrc = false;  // D/B.lrc
    bool ass = false;  // D/B.ass
    bool ssa = false;  // D/B.ssa
    bool operator==(const LyricFilesBeside&) const = default;
};
LyricFilesBeside lyricFilesBeside(const std::string& musicFile);

// Where the song's lyrics are looked for, in the order above. `musicFile` is
// empty when no music plays (or the lyrics are named, not found); `beside`
// tells which of D/B.lrc, D/B.ass and D/B.ssa are there; `messageFile` and
// `useMessage` are the lyric file field and its check box after the
// companion rule.
std::vector<LyricCandidate> lyricOrder(const std::string& musicFile, LyricFilesBeside beside,
                                       const std::string& messageFile, bool useMessage);
// The same with D/B.lrc alone told.
std::vector<LyricCandidate> lyricOrder(const std::string& musicFile, bool lrcBeside,
                                       const std::string& messageFile, bool useMessage);

// The first candidate that gives lyrics. Not found when none does; the note
// is then the first reason a source that is there was passed over.
LyricSource readFirstLyrics(const std::vector<LyricCandidate>& order,
                            const MusicTagReader& readTag);

// The song's lyrics by the order above, looked up on disk.
LyricSource findLyricSource(const std::string& musicFile, const std::string& messageFile,
                            bool useMessage, const MusicTagReader& readTag);

}  // namespace orba
