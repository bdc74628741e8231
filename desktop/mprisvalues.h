// The decisions behind the desktop's media controls, free of the bus: what a
// seek may do, which properties a change touches, how songs are named.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "desktop/mpristarget.h"

namespace orba {

inline constexpr const char* kMprisObjectPath = "/org/mpris/MediaPlayer2";
inline constexpr const char* kMprisBusName = "org.mpris.MediaPlayer2.orbakaraoke";
inline constexpr const char* kMprisRootInterface = "org.mpris.MediaPlayer2";
inline constexpr const char* kMprisPlayerInterface = "org.mpris.MediaPlayer2.Player";

const char* playbackStatusName(MprisStatus status);

// A move of the playing song to `targetMs`, by the rules of the seek keys:
// only while the song plays, never back in a MIDI song (it cannot be
// rewound), never past a second before the end nor before the start.
struct SeekRequest {
    bool playing = false;
    bool isMidi = false;
    int positionMs = 0;
    int lengthMs = 0;
    std::int64_t targetMs = 0;
};
// Where playback restarts; nothing when the request is refused.
std::optional<int> plannedSeek(const SeekRequest& request);

// An absolute position asked for by the controls names its song and lies
// within it; anything else is ignored.
bool positionRequestValid(std::string_view currentTrackId, std::string_view requestedTrackId,
                          std::int64_t positionUs, std::int64_t lengthUs);

// The object path that names the n-th song the window loaded.
std::string trackIdFor(unsigned songNumber);

// The title a song shows when its lyric file names none: its file name
// without the extension.
std::string titleFromFileName(std::string_view path);

// The player properties whose values differ between two snapshots, in the
// order they are announced. Position is never among them: it moves all the
// time and the controls ask for it.
std::vector<std::string> changedPlayerProperties(const MprisSnapshot& before,
                                                 const MprisSnapshot& after);

}  // namespace orba
