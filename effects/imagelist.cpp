#include "effects/imagelist.h"

#include <algorithm>
#include <filesystem>

namespace orba {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool hasJpgExtension(const std::string& name) {
    static constexpr std::string_view ext = ".jpg";
    if (name.size() < ext.size()) return false;
    const std::string_view tail = std::string_view(name).substr(name.size() - ext.size());
    return std::equal(tail.begin(), tail.end(), ext.begin(),
                      [](char a, char b) { return lower(a) == b; });
}

// Case-blind order; names that differ only in case keep a fixed order
// between them, whatever order the directory lists them in.
bool nameLess(const std::string& a, const std::string& b) {
    const auto cmp = std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return lower(x) < lower(y); });
    if (cmp) return true;
    const bool reverse = std::lexicographical_compare(
        b.begin(), b.end(), a.begin(), a.end(), [](char x, char y) { return lower(x) < lower(y); });
    return !reverse && a < b;
}

}  // namespace

std::vector<std::string> loadImageList(const std::string& folder) {
    std::vector<std::string> files;
    if (folder.empty()) return files;
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec), end;
    for (; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        std::error_code typeError;
        if (!hasJpgExtension(name) || !it->is_regular_file(typeError)) continue;
        files.push_back(prefix + name);
    }
    std::sort(files.begin(), files.end(), nameLess);
    return files;
}

}  // namespace orba
