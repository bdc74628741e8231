// What a scan of the song folders tells while it runs and when it ends,
// and how its caller steers it.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

namespace orba {

// Why a file or folder was left out. The names are what the statistics
// and the skipped table say.
enum class SkipReason : std::uint8_t {
    NoAccess,          // the file may not be read
    Unreadable,        // the file was read but is no song
    BrokenLink,        // a link to nothing
    FolderUnreadable,  // a folder that cannot be listed
};
const char* skipReasonName(SkipReason reason);

struct ScanProgress {
    std::string folder;         // the library folder being scanned
    std::size_t filesSeen = 0;  // music files met
    std::size_t filesRead = 0;  // of those, read because they are new or changed
    std::size_t added = 0;      // songs new to the catalogue
    std::size_t updated = 0;    // songs read again
    std::size_t removed = 0;    // songs whose files are gone
    std::size_t skipped = 0;    // files and folders left out (see SkipReason)
};

struct ScanReport : ScanProgress {
    // False when the scan was cancelled or stopped by an error: what it did
    // so far is kept, and the next scan goes on from there.
    bool complete = false;
    std::size_t missing = 0;          // songs kept, but their folder could not be reached
    std::size_t repeatedFolders = 0;  // folders met again through a link, entered once
    std::string error;

    bool changedSongs() const { return added || updated || removed || missing; }
};

enum class ScanDepth : std::uint8_t { Tree, FolderOnly };

struct ScanControl {
    std::function<void(const ScanProgress&)> progress;
    const std::atomic<bool>* cancel = nullptr;
    // Every folder the scan walks, as it enters it (a watch follows them).
    std::function<void(const std::string& folder)> folderEntered;

    bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

}  // namespace orba
