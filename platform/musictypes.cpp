#include "platform/musictypes.h"

#include <algorithm>

#include "platform/files.h"

namespace orba {

bool hasMusicExtension(std::string_view path) {
    std::string ext = extensionPart(path);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return std::find(kMusicExtensions.begin(), kMusicExtensions.end(), ext) !=
               kMusicExtensions.end() ||
           std::find(kSongArchiveExtensions.begin(), kSongArchiveExtensions.end(), ext) !=
               kSongArchiveExtensions.end();
}

std::string musicFilePatterns() {
    std::string patterns;
    for (std::string_view ext : kMusicExtensions) {
        if (!patterns.empty()) patterns += ';';
        patterns.append("*").append(ext);
    }
    return patterns;
}

}  // namespace orba
