// Paths under a folder as the catalogue finds them: one range of its path
// index, since every path under "F" lies between "F/" and "F0" ('0'
// follows '/') in byte order.
#pragma once

#include <string>
#include <utility>

namespace orba {

inline std::pair<std::string, std::string> pathsUnder(const std::string& folder) {
    std::string low = folder.empty() || folder.back() != '/' ? folder + "/" : folder;
    std::string high = low;
    high.back() = '/' + 1;
    return {std::move(low), std::move(high)};
}

inline bool isUnder(const std::string& path, const std::string& folder) {
    const auto [low, high] = pathsUnder(folder);
    return path >= low && path < high;
}

}  // namespace orba
