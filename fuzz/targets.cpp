#include "fuzz/targets.h"

namespace orba::fuzz {

std::span<const Target> targets() {
    static constexpr Target kTargets[] = {
        {"lyricfile", &lyricFile},
        {"sjistext", &sjisText},
        {"profiletext", &profileText},
        {"miditempomap", &midiTempoMap},
        {"mpegaudiolength", &mpegAudioLength},
        {"jpegpicture", &jpegPicture},
        {"lrcfile", &lrcFile},
        {"lrcexpansion", &lrcExpansion},
        {"midilyrics", &midiLyrics},
        {"musictag", &musicTag},
        {"assfile", &assFile},
        {"ultrastarfile", &ultraStarFile},
        {"cdgfile", &cdgFile},
    };
    return kTargets;
}

}  // namespace orba::fuzz
