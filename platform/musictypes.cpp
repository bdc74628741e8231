#include "platform/musictypes.h"

#include <algorithm>

#include "platform/files.h"

namespace orba {

namespace {

template <std::size_t N>
bool hasExtensionOf(std::string_view path, const std::array<std::string_view, N>& list) {
    std::string ext = extensionPart(path);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return std::find(list.begin(), list.end(), ext) != list.end();
}

template <std::size_t N>
std::string patternsOf(const std::array<std::string_view, N>& list) {
    std::string patterns;
    for (std::string_view ext : list) {
        if (!patterns.empty()) patterns += ';';
        patterns.append("*").append(ext);
    }
    return patterns;
}

}  // namespace

bool hasMusicExtension(std::string_view path) {
    return hasExtensionOf(path, kMusicExtensions) || hasVideoExtension(path) ||
           hasExtensionOf(path, kSongArchiveExtensions);
}

bool hasVideoExtension(std::string_view path) {
    return hasExtensionOf(path, kVideoExtensions);
}

std::string musicFilePatterns() {
    return patternsOf(kMusicExtensions);
}

std::string videoFilePatterns() {
    return patternsOf(kVideoExtensions);
}

}  // namespace orba
