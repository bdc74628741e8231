// The two reduced forms of a lyric line that the text exports write: the
// plain form as the display shows it, and the safe form cut down to the
// leading time tag and the first character of the lyric, followed by "..".
#pragma once

#include <string>

#include "platform/textencoding.h"

namespace orba {

std::string plainTextForm(std::string line, TextEncoding e = TextEncoding::ShiftJis);
std::string safeTextForm(std::string line, TextEncoding e = TextEncoding::ShiftJis);

}  // namespace orba
