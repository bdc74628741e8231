#include "fuzz/targets.h"

namespace orba::fuzz {

std::span<const Target> targets() {
    static constexpr Target kTargets[] = {
        {"lyricfile", &lyricFile},
        {"sjistext", &sjisText},
        {"profiletext", &profileText},
        {"miditempomap", &midiTempoMap},
        {"mpegaudiolength", &mpegAudioLength},
        // The JPEG preparation of the picture display joins here when it
        // lands: an entry, a line in this table, a folder of seed pictures in
        // fuzz/corpus and a line in fuzz/CMakeLists.txt.
    };
    return kTargets;
}

}  // namespace orba::fuzz
