// Changes inside watched folders, told by the kernel (inotify): a file
// written, made, removed or renamed, a subfolder made or gone. A watch sees
// the entries of its own folder, not those of its subfolders, so a tree is
// watched folder by folder. One thread adds, clears and waits; wake() may
// come from any thread.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace orba {

struct FolderChange {
    enum class Kind : std::uint8_t {
        File,      // `name` in `folder` was written, made, removed or renamed
        Folder,    // the subfolder `name` of `folder` was made, removed or renamed
        Gone,      // the watched `folder` itself was removed or renamed
        Overflow,  // the kernel dropped changes: anything may have changed
    };
    Kind kind = Kind::File;
    std::string folder;
    std::string name;
};

class FolderWatch {
public:
    // Throws std::runtime_error when the system gives no watch.
    FolderWatch();
    ~FolderWatch();
    FolderWatch(const FolderWatch&) = delete;
    FolderWatch& operator=(const FolderWatch&) = delete;

    // False, with the reason, when the folder cannot be watched (the user's
    // limit of watches reached, the folder gone).
    bool add(const std::string& folder, std::string* error = nullptr);
    void clear();
    std::size_t size() const { return m_folders.size(); }

    // Waits up to `timeoutMs` (-1: as long as it takes) for changes or a
    // wake(), and returns the changes in the order they came.
    std::vector<FolderChange> wait(int timeoutMs);
    void wake();

private:
    void readChanges(std::vector<FolderChange>& changes);

    int m_fd = -1;
    int m_wakeFd = -1;
    std::unordered_map<int, std::string> m_folders;  // by watch descriptor
};

}  // namespace orba
