// Splitting a karaoke or ukagaka line at the lyric time into what is sung,
// what is being sung and what is still to come; the wipe draws from it.
#pragma once

#include <string>
#include <string_view>

#include "platform/textencoding.h"

namespace orba {

struct KaraokeParse {
    std::string sungText;     // from the line start to the end of the segment being sung
    std::string doneText;     // segments finished before the one being sung
    std::string restText;     // after the segment being sung
    int segmentProgress = 0;  // 0..10000 through the segment being sung
    // 0 no leading time, 1 leading time only, 2 karaoke tags, 3 tags with an
    // argument, 4 waits \wN: the kind of the first timing tag met.
    int timingKind = 0;
};

// `line` is the current line after takeColourTag with its other tags in it;
// `now` and `nextLineTime` are lyric times in milliseconds.
KaraokeParse parseKaraokeLine(int now, std::string_view line, int nextLineTime,
                              TextEncoding e = TextEncoding::ShiftJis);

}  // namespace orba
