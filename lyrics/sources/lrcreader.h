// LRC lyric files, plain and with word times, turned into the player's own
// tagged lines: "[mm:ss.xx]" line times become leading time values, "<mm:ss.xx>"
// word times become karaoke tags, so one lyric engine plays both. Saving
// turns the tagged lines back into LRC.
//
// Odd cases, as decided here:
// - a line with several leading times is one line per time; word times in it
//   move with each copy by the distance from the first time;
// - a time inside the text, "[mm:ss.xx]" as much as "<mm:ss.xx>", is a word
//   time: it times the wipe and is never shown;
// - [offset:N] anywhere in the file applies to every time (positive shows the
//   lyrics earlier); times below 0 become 0, times past 99:59.99 stay there;
// - "[name:value]" with a name of letters (ti, ar, al, au, by, length, re,
//   ve, offset and any other) or a name starting with "#" is a header line;
// - a line that does not begin with a line time (a note beside the lyrics)
//   is not shown; it is kept, after the lyric line it followed, and a save
//   writes it back there. A file without any line time is plain lyrics
//   instead: its lines are shown as they stand, timed by the loader as
//   untimed lines of the player's own files are, and only the lines the
//   loader would drop ("@", "//", "--------") are kept aside;
// - blank lines are dropped; "[" "]" "\" inside lyric text keep their tag
//   meaning, as in the player's own files;
// - at most kMaxLrcTimesPerLine times and kMaxLyricLineBytes of text of a
//   line are read, and lyric lines past kMaxLyricTextBytes in all are left
//   out (lyricbounds.h); `warnings` tells which, and such a file does not
//   save back as it was.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textencoding.h"
#include "settings/lyricform.h"

namespace orba {

struct LrcText {
    std::vector<std::string> lines;        // tagged lines in time order
    std::vector<std::string> headerLines;  // as read, in file order
    std::vector<KeptLine> keptLines;       // the lines not shown, `after` counting `lines`
    std::string title;                     // the [ti:] and [ar:] values as read
    std::string artist;
    int offsetMs = 0;
    bool wordTimes = false;             // at least one word time was read
    std::vector<std::string> warnings;  // what was left out, for the author
};

// "mm:ss.xx", "mm:ss.xxx" (truncated to the hundredth), "mm:ss", "mm:ss:xx",
// with one to three digits of minutes; the time in ms, or nothing.
std::optional<int> parseLrcTime(std::string_view text);

// "mm:ss.xx" between `open` and `close` ("[" "]" for a line, "<" ">" for a
// word); times below 0 become 0, times past 99:59.99 stay there.
std::string lrcTime(long long ms, char open, char close);

// `fileLines` are the file's lines in memory's form; `e` their encoding.
LrcText readLrc(const std::vector<std::string>& fileLines, TextEncoding e);

// True when some line of the text begins with an LRC line time: how text
// from a music tag is told apart from plain lyrics.
bool hasLrcLineTimes(const std::vector<std::string>& lines);

// The lines of an LRC file for the tagged lines (the loader's last, empty end
// entry is left out): the form's header lines first, then each line with a
// leading time value as "[mm:ss.xx]" and "<mm:ss.xx>" word times, every other
// line as it stands, and the form's kept lines in their places. The offset
// is taken back out of every time, so that the header lines, offset
// included, stay true.
std::vector<std::string> lrcFileLines(const std::vector<std::string>& lyricLines,
                                      const LyricForm& form);

// A time value "[mm:ss:cc]" as the line time "[mm:ss.xx]" of a file with
// this offset.
std::string lrcLineTime(std::string_view timeValue, int offsetMs);

}  // namespace orba
