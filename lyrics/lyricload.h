// The text steps of a song load, as functions over the message file's lines:
// the time ratio, the tag census and kind, the clean-up of tagged files, the
// end line, one time per line, and the preparation of the time-tag edit mode.
// The song loader calls them in this order; prepareLyrics runs them all.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

// The framework's conversion error; what() is UTF-8 for the error box.
class ConversionError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The value of the first line named "@TimeRatio" (the text before its first
// "=", any letter case), 1.0 when there is none. Throws ConversionError when
// the value is not a decimal number.
double readTimeRatio(const std::vector<std::string>& lines,
                     TextEncoding e = TextEncoding::ShiftJis);

// Lines whose text from the second character on (at most 256 bytes) holds a
// "]", a "[" or a "\", searched per character.
struct TagCensus {
    int closeCount = 0;
    int openCount = 0;
    int slashCount = 0;
};
TagCensus tagCensus(const std::vector<std::string>& lines, TextEncoding e = TextEncoding::ShiftJis);

// 1 plain text, 2 time tag, 3 karaoke tag, 4 ukagaka tag: each needs more
// than a third of the lines to carry its character.
int decideTagType(const TagCensus& census, std::size_t lineCount);

// Empty lines, directives "@", comments "//" and separators "--------".
bool isNonLyricLine(std::string_view line);

// Drops the lines isNonLyricLine names.
void removeNonLyricLines(std::vector<std::string>& lines);

// One time value per line. Lines that begin with a time value, and the last
// line, are anchors; the others get times spread evenly between the anchors
// around them. Without music the last line lies 3000 ms per line after the
// last anchor; with music it is the song's length.
struct LineTimeInput {
    bool useBgm = false;
    int songLength = 0;
    TextEncoding encoding = TextEncoding::ShiftJis;
};
std::vector<std::string> lineTimes(const std::vector<std::string>& lines, const LineTimeInput& in);

// The edit mode starts from line 0 at [00:00:00]: the first line's old tag
// (everything up to its first "]") is replaced. Returns the new lineTimes.
std::vector<std::string> prepareTimeEditMode(std::vector<std::string>& lines,
                                             TextEncoding e = TextEncoding::ShiftJis);

struct LyricLoadInput {
    bool useMessage = false;  // a message file was read
    bool useBgm = false;
    int songLength = 0;
    bool timeEditMode = false;
    TextEncoding encoding = TextEncoding::ShiftJis;  // of the lines
    // A reader that knows the lines' kind (an LRC or MIDI source) names it;
    // 0 lets the tag census decide, as for the design's own files.
    int tagType = 0;
    // The file the lines were read from, named by the errors.
    std::string file{};
};

struct LyricText {
    std::vector<std::string> lyricLines;
    std::vector<std::string> lineTimes;
    int tagType = 0;
    double timeRatio = 1.0;
};

// The lines as read from the message file (empty when none was read) through
// every text step of the load. Throws ConversionError for a bad "@TimeRatio",
// its text led by the file ("<file>: '<value>' は…"); the loader stops there,
// as before any other step has run.
LyricText prepareLyrics(std::vector<std::string> lines, const LyricLoadInput& in);

}  // namespace orba
