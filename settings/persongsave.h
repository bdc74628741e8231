// Saving a song's own look: the four display settings that the ".oka" file
// beside the music file keeps.
#pragma once

#include <string>
#include <string_view>

#include "settings/settings.h"

namespace orba {

// Writes Option/TextBack, Effect/iNoiseT, Effect/iNoiseC and Effect/iBackT
// into the per-song file of `bgmFile`, keeping every other line of it, and
// returns its path. A refused write throws ProfileWriteError
// ("<path> に書き込めません").
std::string savePerSongFile(std::string_view bgmFile, const Settings& settings);

}  // namespace orba
