// The video background: the [Video] section of the settings file, read with
// the settings and never written by the player (edited by hand; a file
// without the section plays no video behind the songs).
#pragma once

#include <string>

namespace orba {

class ProfileFile;

struct VideoSettings {
    // Background: a video file, or a folder whose first video by name is
    // played, muted and looping, behind the lyrics of every song in place of
    // the scenes; empty: none. A song's own okaravid/ folder comes first.
    std::string background;
};

VideoSettings readVideoSettings(const ProfileFile& file);

}  // namespace orba
