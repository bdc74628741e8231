#include "platform/files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace orba {

namespace {
bool statPath(std::string_view path, struct stat& st) {
    if (path.empty()) return false;
    return ::stat(std::string(path).c_str(), &st) == 0;
}
}  // namespace

bool fileOrFolderExists(std::string_view path) {
    struct stat st {};
    return statPath(path, st);
}

bool isRegularFile(std::string_view path) {
    struct stat st {};
    return statPath(path, st) && S_ISREG(st.st_mode);
}

bool isFolder(std::string_view path) {
    struct stat st {};
    return statPath(path, st) && S_ISDIR(st.st_mode);
}

std::string folderPart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash + 1));
}

std::string fileNamePart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string extensionPart(std::string_view path) {
    std::size_t slash = path.rfind('/');
    std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return {};
    return std::string(path.substr(dot));
}

std::string replaceExtension(std::string_view path, std::string_view ext) {
    std::string e = extensionPart(path);
    return std::string(path.substr(0, path.size() - e.size())) + std::string(ext);
}

namespace {

std::string fileKindText(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder, not a file";
    if (S_ISFIFO(mode)) return "a pipe, not a file";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device, not a file";
    if (S_ISSOCK(mode)) return "a socket, not a file";
    return "not a regular file";
}

std::string tooLargeText(std::size_t limit) {
    return "larger than " + byteSizeText(limit);
}

}  // namespace

std::string byteSizeText(std::size_t bytes) {
    if (bytes >= (1u << 20) && bytes % (1u << 20) == 0) return std::to_string(bytes >> 20) + " MiB";
    if (bytes >= (1u << 10) && bytes % (1u << 10) == 0) return std::to_string(bytes >> 10) + " KiB";
    return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

std::string readFileStart(const std::string& path, std::size_t limit) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return {};
    struct stat st {};
    std::string bytes;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        bytes.resize(std::min<std::size_t>(limit, static_cast<std::size_t>(st.st_size)));
        std::size_t size = 0;
        while (size < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            size += static_cast<std::size_t>(n);
        }
        bytes.resize(size);
    }
    ::close(fd);
    return bytes;
}

std::optional<std::string> readBoundedFile(const std::string& path, std::size_t limit,
                                           std::string* why) {
    const auto refuse = [why](std::string reason) -> std::optional<std::string> {
        if (why) *why = std::move(reason);
        return std::nullopt;
    };
    const auto failed = [&refuse](const char* what) {
        return refuse(std::string(what) + ": " + std::strerror(errno));
    };
    if (path.empty()) return refuse("no file name");
    // Opened without waiting, so that a pipe put under the name since any
    // earlier look is refused here instead of blocking for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return failed("cannot open it");
    struct Closer {
        int fd;
        ~Closer() { ::close(fd); }
    } closer{fd};
    struct stat st {};
    if (::fstat(fd, &st) != 0) return failed("cannot read it");
    if (!S_ISREG(st.st_mode)) return refuse(fileKindText(st.st_mode));
    if (st.st_size < 0 || static_cast<unsigned long long>(st.st_size) > limit)
        return refuse(tooLargeText(limit));
    // One byte more than the limit allows tells a file that grew past it.
    std::string bytes(static_cast<std::size_t>(st.st_size) + 1, '\0');
    std::size_t size = 0;
    for (;;) {
        if (size == bytes.size()) {
            if (size > limit) return refuse(tooLargeText(limit));
            bytes.resize(std::min(bytes.size() * 2, limit + 1));
        }
        const ssize_t n = ::read(fd, bytes.data() + size, bytes.size() - size);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return failed("cannot read it");
        if (n == 0) break;
        size += static_cast<std::size_t>(n);
    }
    if (size > limit) return refuse(tooLargeText(limit));
    bytes.resize(size);
    return bytes;
}

std::string programPath() {
    std::array<char, 4096> buf{};
    ssize_t n = ::readlink("/proc/self/exe", buf.data(), buf.size() - 1);
    if (n <= 0) return {};
    return std::string(buf.data(), static_cast<std::size_t>(n));
}

std::string programFolder() {
    return folderPart(programPath());
}

std::string environmentValue(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

bool folderWritable(std::string_view folder) {
    if (folder.empty()) return false;
    return ::access(std::string(folder).c_str(), W_OK) == 0;
}

}  // namespace orba

namespace orba {

namespace {
char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

bool matchFrom(std::string_view name, std::string_view pattern) {
    // Greedy match with one backtrack point: the last '*' seen.
    std::size_t n = 0, p = 0, starP = std::string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == '?' || lowerAscii(pattern[p]) == lowerAscii(name[n]))) {
            ++p;
            ++n;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') ++p;
    return p == pattern.size();
}
}  // namespace

bool wildcardMatch(std::string_view name, std::string_view pattern) {
    if (matchFrom(name, pattern)) return true;
    if (pattern.size() >= 2 && pattern.substr(pattern.size() - 2) == ".*" &&
        name.find('.') == std::string_view::npos)
        return matchFrom(name, pattern.substr(0, pattern.size() - 2));
    return false;
}

bool listFiles(std::string_view folder, std::string_view pattern, std::vector<std::string>& names) {
    names.clear();
    if (folder.empty()) return false;
    std::error_code ec;
    namespace fs = std::filesystem;
    // Increments with an error code: a listing never throws halfway.
    for (fs::directory_iterator it(fs::path(folder), ec), end; !ec && it != end; it.increment(ec)) {
        // Only regular files (links to them too): a pipe or a device under a
        // song's or picture's name would block whoever opens it.
        std::error_code typeEc;
        if (!it->is_regular_file(typeEc)) continue;
        std::string name = it->path().filename().string();
        if (wildcardMatch(name, pattern)) names.push_back(std::move(name));
    }
    // A listing cut short still offers what it found.
    return !ec || !names.empty();
}

std::string withoutTrailingSeparator(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

}  // namespace orba
