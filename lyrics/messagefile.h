// The message file as a list of lines, split the way lyric files have always
// been read: a line ends at CR LF, LF or a lone CR; a last line without
// a line end counts; a final line end adds no empty line. Bytes are kept as
// they are, NUL bytes included; nothing is converted.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

std::vector<std::string> splitLines(std::string_view bytes);

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> readWholeFile(const std::string& path);

// The file's lines, or nothing when it cannot be read (missing, a folder,
// no permission): the loader then switches lyrics off.
std::optional<std::vector<std::string>> readMessageFile(const std::string& path);

}  // namespace orba
