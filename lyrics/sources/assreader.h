// Subtitle files of the ASS and SSA kind with karaoke timing, turned into the
// player's own tagged lines, and written back with new times.
//
// Each "Dialogue:" line of the [Events] section is one lyric line at its
// Start time; its {\k}, {\K}, {\kf} and {\ko} durations (centiseconds, one
// after the other from Start) become karaoke tags, with a last tag where the
// last duration ends, as word times of an LRC file do. Everything else inside
// braces (styles, positions, effects) is dropped: the player draws the
// lyrics its own way. As decided here:
// - the [Events] section's "Format:" line orders the fields, ASS's own
//   order when it has none; a file without [Events], without Start or Text
//   in its format, or without a single dialogue line gives no lyrics, and
//   says why;
// - "Comment:" lines, and dialogue lines whose Start cannot be read, are
//   passed over (the latter with a warning);
// - \N, \n and \h become a space: a lyric line is one line;
// - a "{" without its "}" is text, and so is a "}" without its "{";
// - a negative duration counts as 0, and times past 99:59.99 stay there;
// - text before the first \k is shown with the first segment; a duration
//   followed by no text is a pause, which the wipe folds into the next
//   syllable;
// - "[" "]" "\" in the text keep their tag meaning, as in the player's own
//   files and in LRC;
// - lines come in time order, lines of one time in file order;
// - kMaxLyricLineBytes of a line's text are read (lyricbounds.h), with a
//   warning; such a file does not save back as it was.
#pragma once

#include <string>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

struct AssText {
    std::vector<std::string> lines;  // tagged lines in time order
    std::string title;               // [Script Info] Title, as read
    bool karaoke = false;            // at least one karaoke duration was read
    // Not empty: the file gives no lyrics, and this says why.
    std::string problem;
    std::vector<std::string> warnings;
};

// `fileLines` are the file's lines in memory's form; `e` their encoding.
AssText readAss(const std::vector<std::string>& fileLines, TextEncoding e);

// The file's lines (as readAss took them) with the times of the tagged lines
// written in: lyric line i is the file's i-th dialogue line in time order (the
// loader's last, empty end entry is left out). A line as it was read leaves
// its file line untouched, byte for byte. In a line whose times changed, its
// Start becomes the line's time value, each duration reaches from its
// segment's start to the next karaoke tag (the first from the new Start), and
// End moves only where it would fall before the new Start, keeping the line's
// length. A line that lost its time value, or whose karaoke tags no longer
// match its durations one for one, keeps what it cannot take.
std::vector<std::string> assFileLines(const std::vector<std::string>& lyricLines,
                                      const std::vector<std::string>& fileLines, TextEncoding e);

}  // namespace orba
