#include "platform/fileinfo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <memory>

namespace orba {

namespace {

void setError(std::string* error) {
    if (error) *error = std::strerror(errno);
}

FileKind kindOfMode(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::File;
    if (S_ISDIR(mode)) return FileKind::Folder;
    if (S_ISLNK(mode)) return FileKind::Link;
    return FileKind::Other;
}

FileKind kindOfEntry(unsigned char type) {
    switch (type) {
        case DT_REG:
            return FileKind::File;
        case DT_DIR:
            return FileKind::Folder;
        case DT_LNK:
            return FileKind::Link;
        case DT_UNKNOWN:
            return FileKind::Unknown;
        default:
            return FileKind::Other;
    }
}

struct DirCloser {
    void operator()(DIR* d) const { ::closedir(d); }
};

}  // namespace

std::optional<FileInfo> fileInfo(const std::string& path, std::string* error) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        setError(error);
        return std::nullopt;
    }
    FileInfo info;
    info.kind = kindOfMode(st.st_mode);
    info.device = static_cast<std::uint64_t>(st.st_dev);
    info.inode = static_cast<std::uint64_t>(st.st_ino);
    info.size = static_cast<std::int64_t>(st.st_size);
    info.mtimeNs = static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return info;
}

bool listFolder(const std::string& path, std::vector<FolderEntry>& entries, std::string* error) {
    entries.clear();
    std::unique_ptr<DIR, DirCloser> dir(::opendir(path.c_str()));
    if (!dir) {
        setError(error);
        return false;
    }
    errno = 0;
    while (const dirent* e = ::readdir(dir.get())) {
        if (std::strcmp(e->d_name, ".") == 0 || std::strcmp(e->d_name, "..") == 0) continue;
        entries.push_back({e->d_name, kindOfEntry(e->d_type)});
    }
    if (errno != 0) {
        setError(error);
        return false;
    }
    return true;
}

// Opened rather than asked with access(): that answers for the real user,
// not for the rights the process holds.
bool fileReadable(const std::string& path, std::string* error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) {
        setError(error);
        return false;
    }
    ::close(fd);
    return true;
}

}  // namespace orba
