// The lyrics tag of a music file (ID3 USLT or SYLT, Vorbis LYRICS, as the
// media framework reports them), read without playing the file.
#pragma once

#include <string>

namespace orba {

// The tag's text as UTF-8; empty when the file has none or cannot be read.
std::string readMusicTagLyrics(const std::string& musicFile);

}  // namespace orba
