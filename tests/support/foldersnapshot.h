// What a folder holds, name by name, so that a test can tell that nothing in
// it was written, replaced, added or removed: each file's inode and bytes,
// each link's target, each folder's name.
#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <functional>
#include <map>
#include <set>
#include <string>

#include "tests/support/tempdir.h"

namespace orba::test {

using FolderSnapshot = std::map<std::string, std::string>;

// `skip`: names left out, such as the output a test expects to appear.
inline FolderSnapshot snapshotFolder(const std::string& folder,
                                     const std::set<std::string>& skip = {}) {
    FolderSnapshot s;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::string name = entry.path().filename().string();
        if (skip.count(name)) continue;
        struct stat st {};
        ::lstat(entry.path().c_str(), &st);
        if (S_ISLNK(st.st_mode))
            s[name] = "link to " + std::filesystem::read_symlink(entry.path()).string();
        else if (S_ISDIR(st.st_mode))
            s[name] = "folder";
        else {
            // The bytes stand as their size and hash, so that a failure message
            // stays readable.
            const std::string bytes = readFile(entry.path());
            s[name] = "file " + std::to_string(st.st_ino) + ", " + std::to_string(bytes.size()) +
                      " bytes, hash " + std::to_string(std::hash<std::string>{}(bytes));
        }
    }
    return s;
}

}  // namespace orba::test
