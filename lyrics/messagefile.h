// The message file as a list of lines, split the way lyric files have always
// been read: a line ends at CR LF, LF or a lone CR; a last line without
// a line end counts; a final line end adds no empty line. Bytes are kept as
// they are, NUL bytes included; nothing is converted.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

std::vector<std::string> splitLines(std::string_view bytes);

// The line end a text uses most: "\r\n", "\n" or "\r"; CR LF when it has
// none, and where CR LF ties with another.
std::string_view mostUsedLineEnd(std::string_view bytes);

// Lyric files are a few kilobytes, long ones a few hundred; a file larger
// than this is no lyric file, and its lines would cost the player seconds
// and hundreds of megabytes.
inline constexpr std::size_t kMaxMessageFileBytes = 4u * 1024 * 1024;

// A lyric file's bytes, or nothing when it cannot be read (missing, a
// folder, a pipe or device, no permission, larger than kMaxMessageFileBytes);
// `why`, when given, then says which in words for the user.
std::optional<std::string> readWholeFile(const std::string& path, std::string* why = nullptr);

// The file's lines, or nothing when it cannot be read: the loader then
// switches lyrics off.
std::optional<std::vector<std::string>> readMessageFile(const std::string& path);

}  // namespace orba
