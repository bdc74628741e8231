#include "library/songfacts.h"

#include <algorithm>
#include <array>

#include "platform/files.h"

namespace orba {

std::string musicTypeByExtension(std::string_view path) {
    static constexpr std::array<std::string_view, 4> kMidi = {".mid", ".midi", ".kar", ".rmi"};
    static constexpr std::array<std::string_view, 8> kVideo = {".mp4", ".mkv", ".webm", ".avi",
                                                               ".mov", ".mpg", ".mpeg", ".wmv"};
    std::string ext = extensionPart(path);
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; });
    if (std::find(kMidi.begin(), kMidi.end(), ext) != kMidi.end()) return "midi";
    if (std::find(kVideo.begin(), kVideo.end(), ext) != kVideo.end()) return "video";
    return "audio";
}

std::optional<SongFacts> describeByFileName(const std::string& path) {
    SongFacts facts;
    facts.type = musicTypeByExtension(path);
    const std::string name = fileNamePart(path);
    facts.title = name.substr(0, name.size() - extensionPart(name).size());
    return facts;
}

}  // namespace orba
