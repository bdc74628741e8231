#include "settings/persongsave.h"

#include "platform/profilefile.h"
#include "settings/settingsstore.h"

namespace orba {

std::string savePerSongFile(std::string_view bgmFile, const Settings& s) {
    std::string path = perSongFilePath(bgmFile);
    ProfileFile f(path);
    f.writeInteger("Option", "TextBack", s.textBack);
    f.writeInteger("Effect", "iNoiseT", s.noiseType);
    f.writeInteger("Effect", "iNoiseC", s.noiseColor);
    f.writeInteger("Effect", "iBackT", s.backgroundType);
    return path;
}

}  // namespace orba
