// What the desktop's media controls see of the player and may ask of it.
// The session-bus side (MprisService) knows nothing else of the player: the
// window hands it an MprisTarget, whose methods do what the matching keys do.
#pragma once

#include <cstdint>
#include <string>

namespace orba {

enum class MprisStatus { Playing, Paused, Stopped };

// The player as the media controls show it; times in microseconds.
struct MprisSnapshot {
    MprisStatus status = MprisStatus::Stopped;
    std::int64_t positionUs = 0;
    std::int64_t lengthUs = 0;
    double volume = 0.0;  // 0..1
    std::string trackId;  // a D-Bus object path naming the loaded song
    std::string url;      // file:// URL of the music file, "" with no song
    std::string title;
    std::string artist;
    std::string artUrl;     // the song's first picture, "" when it has none
    std::string lyricLine;  // the line being sung, as shown
    bool canGoNext = false;
    bool canGoPrevious = false;
    bool canPlay = false;
    bool canPause = false;
    bool canSeek = false;

    bool operator==(const MprisSnapshot&) const = default;
};

class MprisTarget {
public:
    virtual ~MprisTarget() = default;
    virtual void raise() = 0;
    virtual void quit() = 0;
    virtual void play() = 0;
    virtual void pause() = 0;
    virtual void playPause() = 0;
    virtual void stop() = 0;
    virtual void next() = 0;
    virtual void previous() = 0;
    // Both false when nothing moved (no song playing, or a refused rewind).
    virtual bool seek(std::int64_t offsetUs) = 0;
    virtual bool setPosition(const std::string& trackId, std::int64_t positionUs) = 0;
    virtual void setVolume(double volume) = 0;
    // A music file handed over by another start of the program, or opened
    // from the desktop's controls.
    virtual void openFile(const std::string& path) = 0;
    virtual MprisSnapshot snapshot() const = 0;
};

}  // namespace orba
