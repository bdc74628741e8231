#include "platform/files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
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
