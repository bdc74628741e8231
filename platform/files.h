// File-system helpers with the path rules the player's files rely on: a
// folder part keeps its trailing separator, and existence tests accept files
// and folders alike.
#pragma once

#include <string>
#include <string_view>

namespace orba {

// True when the path names an existing file or folder; an empty path never does.
bool fileOrFolderExists(std::string_view path);
bool isRegularFile(std::string_view path);
bool isFolder(std::string_view path);

// Text of the path up to and including its last separator ("" when it has none).
std::string folderPart(std::string_view path);

// The name after the last separator.
std::string fileNamePart(std::string_view path);

// The extension including its dot ("" when the name has none).
std::string extensionPart(std::string_view path);

// The path with its extension replaced by `ext`, or `ext` appended when the
// name has no extension.
std::string replaceExtension(std::string_view path, std::string_view ext);

// Folder of the running program, with a trailing separator.
std::string programFolder();

// Absolute path of the running program.
std::string programPath();

// The value of an environment variable, "" when it is not set.
std::string environmentValue(const char* name);

// Whether the current user may create files in the folder.
bool folderWritable(std::string_view folder);

}  // namespace orba
