// UltraStar song files: a text file of "#NAME:value" headers and one note per
// line, turned into the player's own tagged lines (each syllable a karaoke
// segment, a last tag where the line's last note ends) and the notes the
// syllables are sung on.
//
// A beat lies at GAP + beat × 15000 / BPM ms: the file's BPM counts quarter
// beats. As decided here:
// - a file is an UltraStar song when its headers, before the first note,
//   hold both #TITLE: and #BPM: (any letter case); nothing else is taken for
//   one, so the player's own lyric files never are;
// - a BPM that is missing, not a number, 0 or negative refuses the file
//   (`problem` says why); a GAP that is not a number counts as 0, with a
//   warning; "," is read as the decimal point in both;
// - #RELATIVE:yes counts each line's beats from the line break before it
//   ("- A B" moves the count by B, or by A when it has no B);
// - notes out of order within a line are sorted, and so are lines;
// - "P1", "P2" (also "P 1", and "P3" for both) start a duet's part, each
//   counting its beats afresh; the parts' lines are merged in time order;
// - reading stops at "E"; a file without one is read to its end;
// - times before 0 become 0, and times past 99:59.99 stay there, however
//   large the beat numbers; "~" (a held syllable) is not shown;
// - "[" "]" "\" in syllables keep their tag meaning, as in LRC;
// - a line's syllables beyond kMaxLyricLineBytes (lyricbounds.h) are sung
//   without text, with a warning.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lyrics/sungnote.h"
#include "platform/textencoding.h"

namespace orba {

struct UltraStarText {
    std::vector<std::string> lines;  // tagged lines in time order
    std::vector<SungNote> notes;     // by line, each line's in time order
    std::string title;               // as read (memory's form)
    std::string artist;
    std::string audio;  // #AUDIO, else #MP3, as read
    std::string video;
    // Not empty: the file is refused, and this says why.
    std::string problem;
    std::vector<std::string> warnings;
};

// True when the headers say the lines are an UltraStar song.
bool isUltraStarText(const std::vector<std::string>& fileLines);

// `fileLines` are the file's lines in memory's form; `e` their encoding.
UltraStarText readUltraStar(const std::vector<std::string>& fileLines, TextEncoding e);

// The audio file of the song `songFile` whose header names it `audioName`
// (UTF-8): a file in the song's folder or below it. Empty, with `why` in
// words for the user, when the header names none, an absolute path, or one
// that climbs out with "..". Nothing on disk is looked at.
std::string ultraStarAudioPath(const std::string& songFile, std::string_view audioName,
                               std::string& why);

}  // namespace orba
