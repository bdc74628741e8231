// The player on the session bus: the media-control interfaces at
// /org/mpris/MediaPlayer2 under the name org.mpris.MediaPlayer2.orbakaraoke.
// A second window (one that opened because the first did not answer) takes
// an instance name beside it, as the controls expect of a second player.
//
// The window calls changed() when the song, the playback status or the lyric
// line may have changed; the service compares with what it announced last
// and sends PropertiesChanged only for what differs.
#pragma once

#include <memory>
#include <string>

namespace orba {

class MprisTarget;

class MprisService {
public:
    explicit MprisService(MprisTarget& target);
    ~MprisService();
    MprisService(const MprisService&) = delete;
    MprisService& operator=(const MprisService&) = delete;

    // False, and nothing offered, without a session bus.
    bool start();
    // The name the service owns; "" before start or without a bus.
    const std::string& busName() const;

    void changed();

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

}  // namespace orba
