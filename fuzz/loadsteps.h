// What every lyric reader's lines go through in a song load, as the fuzz
// targets of the readers check it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "lyrics/lyricload.h"
#include "platform/textencoding.h"

namespace orba::fuzz {

// The load's text steps over the lines a reader gave, then each line through
// the tag operations and the karaoke parse at a few lyric times, checking
// that the parse stays within its range and, with `wholeUtf8`, that every
// text it gives is whole UTF-8. Nothing when the load refuses the lines (a
// bad "@TimeRatio").
std::optional<LyricText> throughTheLoad(const std::vector<std::string>& lines, TextEncoding e,
                                        int tagType, bool wholeUtf8 = false);

}  // namespace orba::fuzz
