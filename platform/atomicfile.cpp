#include "platform/atomicfile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <optional>

#include "platform/files.h"

namespace orba {

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::optional<std::string> readRegularFile(const std::string& path, struct stat& st) {
    // O_NONBLOCK: a pipe put where a file was expected must not hang the player.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return std::nullopt;
    std::string data;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    char buf[65536];
    while (ok) {
        ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        data.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) return std::nullopt;
    return data;
}

// Makes the rename itself survive a power cut; the new contents are already
// on disk, so a folder that cannot be synced does not fail the write.
void syncFolder(const std::string& folder) {
    int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

// `like`: the file whose permission bits and owner the new one takes.
bool writeVia(const std::string& target, std::string_view bytes, bool replace,
              const struct stat* like) {
    std::string temp;
    int fd = createFileBeside(target, ".tmp", temp);
    if (fd < 0) return false;
    bool ok = writeAll(fd, bytes);
    if (ok && like) {
        // Another user's file stays readable by them even when its owner
        // cannot be passed on, so a refused chown does not fail the write.
        [[maybe_unused]] int owned = ::fchown(fd, like->st_uid, like->st_gid);
        ok = ::fchmod(fd, like->st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(fd) == 0;
    ok = ::close(fd) == 0 && ok;
    ok = ok && moveIntoPlace(temp, target, replace);
    if (!ok) {
        ::unlink(temp.c_str());
        return false;
    }
    syncFolder(folderPart(target));
    return true;
}

}  // namespace

// Named so that one left by a power cut is recognisable; created with the
// default permissions.
int createFileBeside(const std::string& target, const char* suffix, std::string& temp) {
    const std::string base = folderPart(target) + "." + fileNamePart(target) + ".";
    for (int attempt = 0; attempt < 100; ++attempt) {
        temp = base + std::to_string(::getpid()) + "-" + std::to_string(attempt) + suffix;
        int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

bool moveIntoPlace(const std::string& temp, const std::string& target, bool replace) {
    if (replace) return std::rename(temp.c_str(), target.c_str()) == 0;
    if (::renameat2(AT_FDCWD, temp.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno == EEXIST) return false;
    // File systems without the no-replace rename: a hard link does not
    // replace either; where there are no links, a last look before renaming.
    if (::link(temp.c_str(), target.c_str()) == 0) {
        ::unlink(temp.c_str());
        return true;
    }
    if (errno == EEXIST || anythingAt(target)) {
        errno = EEXIST;
        return false;
    }
    return std::rename(temp.c_str(), target.c_str()) == 0;
}

bool anythingAt(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

bool replaceableFile(const std::string& path) {
    if (path.empty()) return false;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return errno == ENOENT;
    return S_ISREG(st.st_mode) && (st.st_mode & 0222) != 0 && ::access(path.c_str(), W_OK) == 0;
}

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (!replaceableFile(path)) return false;
    std::string target = path;
    std::error_code ec;
    if (std::filesystem::is_symlink(path, ec)) {
        std::filesystem::path resolved = std::filesystem::weakly_canonical(path, ec);
        if (!ec) target = resolved.string();
    }
    struct stat old {};
    bool replacing = ::stat(target.c_str(), &old) == 0;
    return writeVia(target, bytes, true, replacing ? &old : nullptr);
}

bool copyToNewFile(const std::string& from, const std::string& to) {
    if (to.empty() || anythingAt(to)) return false;
    struct stat st {};
    std::optional<std::string> bytes = readRegularFile(from, st);
    return bytes && writeVia(to, *bytes, false, &st);
}

}  // namespace orba
