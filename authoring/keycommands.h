// The keyboard commands: every key press goes through keyDown, which works
// through the command steps in their fixed order. Display toggles and status
// messages change the settings record and the player state directly; all that
// needs the media device, the window, the mixer or files goes through
// KeyTarget, which the player implements.
#pragma once

#include <string>

#include "authoring/textexport.h"
#include "platform/keys.h"

namespace orba {

struct PlayerState;
struct Settings;

class KeyTarget {
public:
    virtual ~KeyTarget() = default;

    virtual void toggleFullScreen() = 0;

    // The media device: the mode tests and the operations of pause and seek.
    virtual bool devicePlaying() = 0;
    virtual bool devicePaused() = 0;
    virtual void togglePause() = 0;
    virtual int devicePosition() = 0;
    virtual int deviceLength() = 0;
    virtual void stopDevice() = 0;
    virtual void setStartPosition(int ms) = 0;
    virtual void playDevice() = 0;
    virtual void waitUntilPlaying() = 0;

    // Stop the frame timer and the device, step `bgmFile` through the folder
    // by `offset` and open it.
    virtual void stepSong(int offset) = 0;
    // Refresh the folder's song list and return its play-list text.
    virtual std::string playList() = 0;
    // Run the frame handler once, at once.
    virtual void drawFrame() = 0;

    // False when there is no mixer or no volume control.
    virtual bool getMasterVolume(unsigned int& percent) = 0;
    virtual void setMasterVolume(unsigned int percent) = 0;

    // Each returns the path it wrote; a refused write throws.
    virtual std::string savePerSongSettings() = 0;
    virtual std::string writeTextExport(TextExport kind) = 0;

    // Load the current song again from its start.
    virtual void loadSong() = 0;

    // Space, Backspace or F6 in time-tag edit mode.
    virtual void timeEditKey(int code) = 0;
};

// The quick reference that Enter shows.
std::string quickReferenceText();

// The next value of a cycling setting; the remainder keeps the dividend's
// sign, so a negative value from the settings file climbs back through 0.
int cycled(int value, int count);

// Where Ctrl+Left / Ctrl+Right restart playback: two seconds back or on,
// at least 0 and at most a second before the end.
int seekTarget(bool forward, int position, int length);

// One key press. `key` may be changed: the song keys turn it into L so that
// the play list follows.
void keyDown(VirtualKey& key, Settings& settings, PlayerState& state, KeyTarget& target);

}  // namespace orba
