// The music files the player opens, by extension: the one list that the
// folder play, the open dialog, drops and the command line all go by.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orba {

inline constexpr std::array<std::string_view, 7> kMusicExtensions = {
    ".mid", ".wav", ".mp3", ".mp2", ".wma", ".ogg", ".kar"};

// Songs sold as one archive of music and CD+G graphics; they open and play
// as music files do, but the settings' music chooser lists only the above.
inline constexpr std::array<std::string_view, 1> kSongArchiveExtensions = {".zip"};

// One of the music or song archive extensions, compared in lower case.
bool hasMusicExtension(std::string_view path);

// The extensions as a chooser's patterns: "*.mid;*.wav;...".
std::string musicFilePatterns();

}  // namespace orba
