// The lyrics tag of a Matroska or WebM file, as the media framework reports
// it, read without playing the file. Every other kind of file is read by the
// music tag reader in lyrics/sources/, which knows no Matroska.
#pragma once

#include <string>

namespace orba {

// The tag's text as UTF-8; empty when the file has none or cannot be read.
std::string readMatroskaLyrics(const std::string& musicFile);

}  // namespace orba
