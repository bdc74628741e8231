// The music files the player opens, by extension: the one list that the
// folder play, the open dialog, drops and the command line all go by.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace orba {

inline constexpr std::array<std::string_view, 7> kMusicExtensions = {".mid", ".wav", ".mp3", ".mp2",
                                                                     ".wma", ".ogg", ".kar"};

// Karaoke videos: their sound is the song's music, their pictures its
// background.
inline constexpr std::array<std::string_view, 6> kVideoExtensions = {".mp4", ".mkv", ".webm",
                                                                     ".avi", ".mov", ".mpg"};

// Songs sold as one archive of music and CD+G graphics.
inline constexpr std::array<std::string_view, 1> kSongArchiveExtensions = {".zip"};

// One of the music, video or song archive extensions, compared in lower
// case: a file the player opens as a song.
bool hasMusicExtension(std::string_view path);
// One of the video extensions, compared in lower case.
bool hasVideoExtension(std::string_view path);

// The music extensions as a chooser's patterns: "*.mid;*.wav;...".
std::string musicFilePatterns();
// The video extensions as a chooser's patterns: "*.mp4;*.mkv;...".
std::string videoFilePatterns();

}  // namespace orba
