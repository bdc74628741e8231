// The desktop's media controls over the player in the window. Each control
// is a command of the player, as a key would be:
//
//   PlayPause  the pause toggle of Space (in the time-tag edit mode, where
//              Space taps a line, the control does nothing)
//   Play       a paused or stopped song plays on; with nothing open, the
//              song is loaded again
//   Pause      a playing song pauses
//   Stop       the song stands paused at its start, without a reload
//   Next/Previous  the next or previous song of the folder
//   Seek, SetPosition  the rules of Ctrl+Right/Left (only while playing,
//              never back in a MIDI song, at most a second before the end)
//              by the distance asked for
//   Volume     the master volume, as Up/Down set it
//
// It also takes the songs that later starts of the program hand over: each
// arrives as a file dropped on the window, and the window comes to the front.
// After every frame it looks whether the song, the playback status, the lyric
// line or the status message changed, and only then lets the service compare
// and announce.
#pragma once

#include <QObject>
#include <memory>
#include <string>

#include "desktop/mpristarget.h"
#include "player/command.h"

namespace orba {

class MprisService;
class TDesktopWindow;

class MprisBridge final : public MprisTarget {
public:
    // Offers the controls on the session bus at once; without a bus the
    // bridge stays idle.
    explicit MprisBridge(TDesktopWindow& window);
    ~MprisBridge() override;
    MprisBridge(const MprisBridge&) = delete;
    MprisBridge& operator=(const MprisBridge&) = delete;

    void raise() override;
    void quit() override;
    void play() override;
    void pause() override;
    void playPause() override;
    void stop() override;
    void next() override;
    void previous() override;
    bool seek(std::int64_t offsetUs) override;
    bool setPosition(const std::string& trackId, std::int64_t positionUs) override;
    void setVolume(double volume) override;
    void openFile(const std::string& path) override;
    MprisSnapshot snapshot() const override;

private:
    struct Seen {
        std::string song;
        int mode = 0;
        int line = -1;
        std::string status;
        bool operator==(const Seen&) const = default;
    };

    void run(const Command& command);
    bool seekTo(std::int64_t targetMs);
    int deviceMode() const;
    Seen seenNow() const;
    void frameDrawn();
    const std::string& trackId() const;
    const std::string& artUrl() const;

    TDesktopWindow& m_window;
    std::unique_ptr<MprisService> m_service;
    // The context of the bridge's connections and queued calls: none of them
    // can run once the bridge is gone.
    QObject m_context;
    Seen m_seen;
    // A song's number and first picture, found once per song.
    mutable std::string m_numberedSong;
    mutable unsigned m_songNumber = 0;
    mutable std::string m_trackId;
    mutable std::string m_artSong;
    mutable std::string m_artUrl;
};

}  // namespace orba
