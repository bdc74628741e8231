// A path's identity, size and time, and a folder's entries, asked of the
// system directly: a walk over a hundred thousand songs cannot afford more
// than one call per entry, and telling a folder met twice (a link back up
// the tree) needs the device and inode that portable calls hide.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orba {

enum class FileKind : std::uint8_t { File, Folder, Link, Other, Unknown };

struct FileInfo {
    FileKind kind = FileKind::Other;  // File, Folder or Other: links are followed
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t mtimeNs = 0;  // nanoseconds since 1970
};

// The file or folder a path names, following links; nothing, with the
// system's reason in `error`, when it cannot be looked at.
std::optional<FileInfo> fileInfo(const std::string& path, std::string* error = nullptr);

// An entry as the listing tells it: Link and Unknown need a fileInfo to say
// what they are.
struct FolderEntry {
    std::string name;
    FileKind kind = FileKind::Unknown;
};

// The entries of a folder without "." and "..", in no particular order.
// False, with the reason in `error`, when the folder cannot be listed.
bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string* error);

// Whether this process may read the file; the reason in `error` when not.
bool fileReadable(const std::string& path, std::string* error = nullptr);

}  // namespace orba
