#include "effects/imagelist.h"

#include <algorithm>

#include "platform/files.h"

namespace orba {

namespace {

char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
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
    std::vector<std::string> names;
    if (!listFiles(folder, "*.jpg", names)) return {};
    std::sort(names.begin(), names.end(), nameLess);
    const std::string prefix = folder.back() == '/' ? folder : folder + "/";
    for (std::string& name : names) name.insert(0, prefix);
    return names;
}

}  // namespace orba
