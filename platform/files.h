// File-system helpers with the path rules the player's files rely on: a
// folder part keeps its trailing separator, and existence tests accept files
// and folders alike.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

// True when the path names an existing file or folder; an empty path never does.
bool fileOrFolderExists(std::string_view path);
bool isRegularFile(std::string_view path);
bool isFolder(std::string_view path);

// Text of the path up to and including its last separator ("" when it has none).
std::string folderPart(std::string_view path);

// A folder path without its trailing separators; the root stays "/".
std::string withoutTrailingSeparator(std::string path);

// The name after the last separator.
std::string fileNamePart(std::string_view path);

// The extension including its dot ("" when the name has none).
std::string extensionPart(std::string_view path);

// The path with its extension replaced by `ext`, or `ext` appended when the
// name has no extension.
std::string replaceExtension(std::string_view path, std::string_view ext);

// Wildcard match of a file name, '*' any run of characters and '?' one,
// without regard to ASCII letter case. A pattern ending in ".*" also matches
// a name without a dot, so "*.*" matches every name.
bool wildcardMatch(std::string_view name, std::string_view pattern);

// The names of the regular files in `folder` that match `pattern`, in
// the order the file system gives them. False, with no names, when the folder
// cannot be listed; an empty folder path is refused rather than taken as the
// current folder.
bool listFiles(std::string_view folder, std::string_view pattern, std::vector<std::string>& names);

// The whole content of a regular file of at most `limit` bytes. Nothing when
// the path names anything else (a folder, a pipe, a device such as
// /dev/zero), cannot be opened or read, or holds more than `limit` bytes,
// also when it grew past the limit while being read. Never blocks on a pipe.
// `why`, when given, receives the reason in words for the user ("larger than
// 4 MiB", "a folder", "cannot open it: Permission denied"), else stays as it was.
std::optional<std::string> readBoundedFile(const std::string& path, std::size_t limit,
                                           std::string* why = nullptr);

// The first `limit` bytes of a regular file, fewer when it is shorter; empty
// when the path names no regular file or it cannot be read. Never blocks on
// a pipe.
std::string readFileStart(const std::string& path, std::size_t limit);

// A byte count in the largest binary unit it fills whole: "64 KiB", "4 MiB",
// "100 bytes".
std::string byteSizeText(std::size_t bytes);

// Folder of the running program, with a trailing separator.
std::string programFolder();

// Absolute path of the running program.
std::string programPath();

// The value of an environment variable, "" when it is not set.
std::string environmentValue(const char* name);

// Whether the current user may create files in the folder.
bool folderWritable(std::string_view folder);

}  // namespace orba
