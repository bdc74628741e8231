#include "settings/videosettings.h"

#include "platform/profilefile.h"

namespace orba {

VideoSettings readVideoSettings(const ProfileFile& file) {
    VideoSettings s;
    s.background = file.readString("Video", "Background", "");
    return s;
}

}  // namespace orba
