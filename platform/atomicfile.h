// Files replaced in one step. The new bytes go to a temporary file beside the
// target, reach the disk, and are renamed over it: a crash, a full disk or a
// refused write leaves the old file or the new one, never half of one, and no
// temporary file behind.
#pragma once

#include <string>
#include <string_view>

namespace orba {

// Whether a write may put new contents at `path`: nothing is there yet, or a
// regular file (through links) that may be written. A file without any write
// permission bit counts as read-only even for root, as on the platform the
// player's files come from.
bool replaceableFile(const std::string& path);

// Makes `bytes` the whole contents of `path`. A replaced file passes its
// permission bits (and, where allowed, its owner) to the new one; a link is
// written through to the file it names. Returns false on any failure.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

// Makes `to` a copy of the regular file `from`, with its permission bits.
// Anything already at `to` makes the copy fail: it never replaces.
bool copyToNewFile(const std::string& from, const std::string& to);

// Anything at all at `path`: a file, a folder, or a link even when it dangles.
bool anythingAt(const std::string& path);

// A new, empty file beside `target` for its next contents, hidden and named
// after it (".NAME.PID-N" and `suffix`). It is created exclusively: never an
// existing file, never through a link, so whatever else lies beside `target`
// stays untouched. Returns the descriptor open for writing, or -1 with errno
// set; its path goes to `temp`.
int createFileBeside(const std::string& target, const char* suffix, std::string& temp);

// Renames `temp` to `target`. Unless `replace`, anything already at `target`
// (even a dangling link) makes it fail with errno EEXIST, also when it
// appears at the last moment.
bool moveIntoPlace(const std::string& temp, const std::string& target, bool replace);

}  // namespace orba
