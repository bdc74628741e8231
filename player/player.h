// The player without its window: it owns the settings record, the player
// state, the media device and the frame loop, and offers what the menus, the
// keys, the frame timer and the headless tools call. What it needs of the
// window and of the settings dialog comes through PlayerHost.
//
// Life: created with the window, settings loaded at once; a song is opened
// (openMusicFile) or reloaded (loadSong), which stops the frame timer, loads
// the lyrics and the music and starts the timer again; every tick of the
// timer draws one frame.
#pragma once

#include <memory>
#include <string>

#include "authoring/keycommands.h"
#include "effects/framepictures.h"
#include "lyrics/frame.h"
#include "platform/bitmap.h"
#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {

class MediaDevice;

class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    // The frame timer, Timer1.
    virtual void setTimerEnabled(bool on) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The settings dialog, unseen: the music choice of a given file with its
    // companions, and the OK writer that commits the dialog to the file.
    virtual void chooseCompanions(const std::string& musicFile) = 0;
    virtual void commitSettingsDialog() = 0;
    // The check marks of "always on top" and folder play, which a settings
    // load brings in line with the file.
    virtual bool stayOnTopChecked() const = 0;
    virtual void T1Click() = 0;
    virtual bool folderRepeatChecked() const = 0;
    virtual void N5Click() = 0;
    // The full-screen cursor rule, run by every frame.
    virtual void updateCursor() {}
    // The system's information sound.
    virtual void beep() {}
    // Alt+Enter: the full-screen switch of the window.
    virtual void toggleFullScreen() {}
    // One frame drawn and shown at once, outside the timer.
    virtual void drawFrame() {}
};

// The banner every song load shows first.
inline constexpr const char* kBanner =
    "Orba Karaoke Player By the ORBA Karaoke Player team|See README.md||"
    "Push [Enter] for Quick reference.";
inline constexpr const char* kCaptionPrefix = "ORBA KARAOKE PLAYER - ";

// The first "*.mp3" of a folder, by name in byte order; "" when there is none.
std::string firstMp3In(const std::string& folder);

class Player : private FrameHooks, private KeyTarget {
public:
    explicit Player(PlayerHost& host);
    ~Player() override;
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    PlayerState& state() { return m_state; }
    const PlayerState& state() const { return m_state; }
    MediaDevice& device();
    const Bitmap& mascot() const { return m_image1; }

    // Reads the settings file (and the song's own file), syncs the menus and
    // applies the configured volume. Throws when the mascot picture is unusable.
    void loadSettings();
    // Writes the values that menus and keys change while the player runs.
    void saveWindowState();
    // The configured volume, put back when the player goes.
    void restoreVolume();

    // Makes a music file the current song: false (nothing changed) for a
    // file of another type or one that does not exist.
    bool openMusicFile(const std::string& path);
    // (Re)loads the song the settings name; always ends with the timer on,
    // except when the lyric file's time ratio is not a number (it throws).
    void loadSong() override;
    // The first song at start-up: the command line's file, else the first
    // MP3 beside the program, else the song the settings name.
    void openFirstSong(const std::string& commandLineFile, const std::string& programFolder);

    // One tick of the frame timer.
    bool frame(Bitmap& back, int cw, int ch, unsigned now);

    // The window's slideshow decodes its next pictures on a worker thread.
    void setPicturesDecodedAhead(bool on) { m_pictures.setDecodeAhead(on); }

    // A key press, as a virtual-key code with its Shift, Ctrl and Alt flags.
    void keyDown(VirtualKey key);

    // The time-tag edit mode: the menu entry flips it, Escape ends it; both
    // start the song again. The edit keys act only with music and lyrics.
    void switchTimeEditMode(bool on);
    void timeEditSetAndNext();
    void timeEditBackAndRewind();
    // F6: throws LyricSaveError with the lyric file left as it was.
    void timeEditSave();

private:
    bool timeEditKeysActive() const;
    // Where the music is now, for a tap: the device's position, or for MIDI
    // the frame clock carried on to this moment.
    int tapTime();
    void showPlaybackError();

    // FrameHooks
    void updateCursor() override;
    void drawPictures(Bitmap& back, const FrameValues& f, const Settings& s,
                      const PlayerState& st) override;
    int playbackPosition() override;
    int playbackMode() override;
    void endOfSong(PlayerState& st) override;

    // KeyTarget
    void toggleFullScreen() override;
    bool devicePlaying() override;
    bool devicePaused() override;
    void togglePause() override;
    int devicePosition() override;
    int deviceLength() override;
    void stopDevice() override;
    void setStartPosition(int ms) override;
    void playDevice() override;
    void waitUntilPlaying() override;
    void stepSong(int offset) override;
    std::string playList() override;
    void drawFrame() override;
    bool getMasterVolume(unsigned int& percent) override;
    void setMasterVolume(unsigned int percent) override;
    std::string savePerSongSettings() override;
    std::string writeTextExport(TextExport kind) override;
    void timeEditKey(int code) override;

    PlayerHost& m_host;
    Settings m_settings;
    PlayerState m_state;
    Bitmap m_image1;
    std::unique_ptr<MediaDevice> m_device;
    FrameLoop m_frame;
    FramePictures m_pictures;
};

}  // namespace orba
