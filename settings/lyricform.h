// Where a song's lyric lines came from and in what form, kept beside the
// lines so that they are drawn in the right character set and saved back in
// the form they were read in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

enum class LyricSourceKind : std::uint8_t { None, File, MidiEvents, MusicTag };

// TaggedText is the player's own format: time, karaoke and script tags.
enum class LyricDialect : std::uint8_t {
    TaggedText,
    Lrc,
    EnhancedLrc,
    MidiLyrics,
    Ass,        // ASS or SSA subtitles, karaoke timed or not
    UltraStar,  // an UltraStar song's notes
};

// A line of a lyric file that is no lyric line (a note in an LRC file
// without a time), kept so that a save writes it back where it stood: after
// the first `after` lyric lines as they are held, before the next.
struct KeptLine {
    std::size_t after = 0;
    std::string text;  // as read, in memory's form

    bool operator==(const KeptLine&) const = default;
};

struct LyricForm {
    LyricSourceKind source = LyricSourceKind::None;
    LyricDialect dialect = LyricDialect::TaggedText;
    TextEncoding encoding = TextEncoding::ShiftJis;
    // The header lines of an LRC file as read (in memory's form), written
    // again at the top when it is saved; for an ASS file, all its lines, into
    // which a save writes the new times.
    std::vector<std::string> headerLines;
    std::vector<KeptLine> keptLines;  // in the order of `after`
    int offsetMs = 0;                 // an LRC file's [offset:], taken back out when saving
    // The line end a Unicode file used most, written again by a save; CR LF,
    // the player's own, for Shift-JIS files (as they always were saved), a
    // file without line ends and lyrics from inside music.
    std::string lineEnd = "\r\n";
    // Whether the last line of an ASS file had a line end, so that a save
    // writes back what it had (other forms always end their lines).
    bool lastLineEnded = true;
    std::string title;   // UTF-8
    std::string artist;  // UTF-8
};

}  // namespace orba
