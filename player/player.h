// The player without its window: it owns the settings record, the player
// state, the values of the settings dialog and the music's transport, runs
// every frame and carries out every command. The window, the tests and the
// headless tools all drive this one object; what only a window can do comes
// through PlayerHost.
//
// Life: created with the window (or by a tool), settings loaded at once; a
// song is opened (openMusicFile) or reloaded (loadSong), which stops the
// frame timer, loads the lyrics and the music and starts the timer again;
// every tick of the timer runs one frame.
//
// A frame runs its steps in this order: size and frame clock, cursor, the
// picture phases, the music's reading, the playback and lyric clocks, the
// timeline and the lyric drawing. A frame never loads a song: the one that
// reaches the end of the song queues the end-of-song action, which the
// owner of the frame runs (afterFrame) once the frame is shown, so every
// frame draws one song's time over that song's lines.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "effects/framepictures.h"
#include "lyrics/frame.h"
#include "platform/bitmap.h"
#include "platform/qrcode.h"
#include "playback/transport.h"
#include "player/command.h"
#include "player/partyqueue.h"
#include "player/playerstate.h"
#include "player/songclock.h"
#include "player/songresolution.h"
#include "settings/dialogvalues.h"
#include "settings/scoresettings.h"
#include "settings/settings.h"
#include "settings/videosettings.h"

namespace orba {

class CdgGraphics;
class VideoFrames;
class ProfileFile;
class Scorer;
class VoiceInput;
enum class TextExport;
enum class SingerControl;

class PlayerHost {
public:
    virtual ~PlayerHost() = default;
    // The frame timer, Timer1.
    virtual void setTimerEnabled(bool on) = 0;
    virtual void setCaption(const std::string& caption) = 0;
    // The check mark of "always on top", which the window state keeps.
    virtual bool stayOnTopChecked() const = 0;
    // A settings load ticks "always on top" and folder play when the file
    // asks for them; it never clears a mark.
    virtual void checkMenus(bool stayOnTop, bool folderRepeat) = 0;
    // The full-screen cursor rule, run by every frame.
    virtual void updateCursor() {}
    // The system's information sound.
    virtual void beep() {}
    // Alt+Enter: the full-screen switch of the window.
    virtual void toggleFullScreen() {}
    // One frame drawn and shown at once, outside the timer.
    virtual void drawFrame() {}
    // The size the next frame will be drawn at, when the host knows it
    // before any frame (a window); width 0 when it does not.
    virtual std::pair<int, int> clientSize() const { return {0, 0}; }
    // A song sung to its end with scoring on: the host keeps the best score
    // of each song and returns the best before this one (none: the first).
    virtual std::optional<int> recordScore(const std::string& /*song*/, int /*total*/) {
        return std::nullopt;
    }
};

// A host with no window: the headless tools and the tests.
class HeadlessHost : public PlayerHost {
public:
    void setTimerEnabled(bool on) override { timerEnabled = on; }
    void setCaption(const std::string& text) override { caption = text; }
    bool stayOnTopChecked() const override { return false; }
    void checkMenus(bool, bool) override {}

    bool timerEnabled = false;
    std::string caption;
};

// The banner every song load shows first.
inline constexpr const char* kBanner =
    "Orba Karaoke Player By the ORBA Karaoke Player team|See README.md||"
    "Push [Enter] for Quick reference.";
inline constexpr const char* kCaptionPrefix = "ORBA KARAOKE PLAYER - ";

// The first "*.mp3" of a folder, by name in byte order; "" when there is none.
std::string firstMp3In(const std::string& folder);

struct PlayerOptions {
    // A player that inspects songs (the headless tools): it never writes a
    // file of the user's nor touches the mixer, and it stops at the end of a
    // song instead of acting on it.
    bool inspecting = false;
    // The lyric file is the one the settings name, never one found beside
    // or inside the music (a tool given a lyric file to show).
    bool lyricsGiven = false;
};

// What one frame did.
struct FrameOutcome {
    bool drawn = false;      // the frame got past its clock (and drew, when asked to)
    bool songEnded = false;  // the song reached its end this frame
    LyricFrame lyrics;
};

class Player {
public:
    // Without a transport the player plays through the media device.
    explicit Player(PlayerHost& host, std::unique_ptr<Transport> transport = nullptr,
                    PlayerOptions options = {});
    ~Player();
    Player(const Player&) = delete;
    Player& operator=(const Player&) = delete;

    Settings& settings() { return m_settings; }
    const Settings& settings() const { return m_settings; }
    PlayerState& state() { return m_state; }
    const PlayerState& state() const { return m_state; }
    Transport& transport() { return *m_transport; }
    const Bitmap& mascot() const { return m_image1; }
    const FrameLoop& frameLoop() const { return m_frame; }
    const FramePictures& pictures() const { return m_pictures; }

    // The settings dialog's values: read from the settings file when the
    // player is made, edited by the dialog, and stored by the OK writer.
    DialogValues& dialogValues() { return m_dialog; }
    // The OK writer: every dialog value into the settings file, one replace.
    // Throws ProfileWriteError with the file left as it was.
    void commitDialogValues();

    // Reads the settings file (and the song's own file), syncs the menus and
    // applies the configured volume. A mascot picture that cannot be read is
    // replaced by the built-in one and named on the status line.
    void loadSettings();
    // The mascot picture beside the image folder, else the built-in one; a
    // picture that cannot be read is named by the next song load.
    void loadMascot();
    // Writes the values that menus and keys change while the player runs.
    void saveWindowState();
    // The configured volume, put back when the player goes.
    void restoreVolume();

    // Makes a music file the current song: false (nothing changed) for a
    // file of another type or one that does not exist.
    bool openMusicFile(const std::string& path);
    // (Re)loads the song the settings name; always ends with the timer on,
    // except when the lyric file's time ratio is not a number (it throws,
    // with no lyrics loaded).
    void loadSong();
    // The first song at start-up: the command line's file, else the first
    // MP3 beside the program, else the song the settings name.
    void openFirstSong(const std::string& commandLineFile, const std::string& programFolder);

    // One tick of the frame timer.
    FrameOutcome frame(Bitmap& back, int cw, int ch, unsigned now);
    // The clocks and the timeline of a frame, without drawing.
    FrameOutcome clockFrame(unsigned now);
    // Draws a character in the lyric face at the current line's size for the
    // host's client area, to nothing: the face's first use (finding and
    // opening its file, shaping) then does not fall on the first frame. For
    // the start, while GStreamer still loads.
    void warmLyricFont();
    // The frame timer has just started, at `now`.
    void frameTimerStarted(unsigned now) { primeFrameClock(now, m_state.lastTick); }

    // Carries out a command: a key's, a menu's or a desktop control's.
    void run(const Command& command);
    // Runs what the last frames queued (the end-of-song action), in order.
    void afterFrame();

    bool exporting() const { return m_export.has_value(); }

    // The party queue: its songs play, one each song end, before folder play
    // is considered. Changed through run(); attach its store here.
    PartyQueue& partyQueue() { return m_queue; }
    const PartyQueue& partyQueue() const { return m_queue; }

    // How long the screen naming the next singer shows between queued
    // songs; 0 (the default) plays the next entry at once.
    void setUpNextSeconds(int seconds) { m_upNextMs = std::max(0, seconds) * 1000; }
    // The entry the up-next screen announces; none while a song plays.
    const std::optional<QueueEntry>& upNext() const { return m_upNext; }
    // The guests' page address drawn as a QR code in a corner ("" draws
    // none); Q shows and hides it.
    void setPartyAddress(const std::string& address);
    void setPartyCodeShown(bool on) { m_partyCodeShown = on; }
    bool partyCodeShown() const { return m_partyCodeShown && m_partyCode.size > 0; }
    // What the last command did to the queue: the entry queued, or why not
    // (nothing done, for a command refused or no queue command).
    const QueueOutcome& queueOutcome() const { return m_queueOutcome; }

    // The window's slideshow decodes its next pictures on a worker thread.
    void setPicturesDecodedAhead(bool on) { m_pictures.setDecodeAhead(on); }

    // What the last song load found the song brings (its lyric candidates,
    // pictures, per-song file, MIDI or not).
    const ResolvedSong& song() const { return m_song; }
    // Whether the song's CD+G graphics draw the frames.
    bool graphicsShown() const { return m_graphics != nullptr; }
    // The video the frames are drawn over ("" none): the song's own, or a
    // background.
    std::string videoShown() const;
    // The lyric file (or, for lyrics inside it, the music file) the last
    // song load read its lines from; empty when it read none.
    std::string lyricFileRead() const {
        return m_settings.useMessage ? m_settings.messageFile : std::string();
    }

    // Why the last song load read no lyrics where it looked for some ("larger
    // than 4 MiB"); empty when it read them or there were none to read.
    const std::string& lyricNote() const { return m_lyricNote; }
    // What the last song load showed on the status line as going wrong (a
    // picture, a per-song file or a lyric file not read), one line each.
    const std::vector<std::string>& loadProblems() const { return m_loadProblems; }

    // Singing scoring (playerscore.cpp). The voice comes from the microphone
    // unless a tool gives another source.
    using VoiceFactory = std::function<std::unique_ptr<VoiceInput>(std::string& why)>;
    void setVoiceFactory(VoiceFactory factory) { m_voiceFactory = std::move(factory); }
    ScoreSettings& scoreSettings() { return m_scoreSettings; }
    // The song's scorer while it is being scored (none: scoring is off, or
    // there is no voice or nothing to score).
    const Scorer* scorer() const;
    // Why the song is not scored, or scored for timing only ("" when it is scored by pitch).
    std::string scoringNote() const;

    // The one writer of the status line: `ms`, when given, is how long the
    // text shows (a new text gets 5000 ms from the first frame that shows it).
    void postStatus(std::string text, std::optional<int> ms = std::nullopt);

private:
    FrameOutcome runFrame(Bitmap* back, int cw, int ch, unsigned now);
    MusicReading readMusic();
    void carryOutSongEnd();
    void nextSong();
    // Party mode (playerparty.cpp).
    void runPartyCommand(const Command& c);
    void queueSong(QueueRequest request);
    // Plays the entries the queue gives, passing over ones whose file is
    // gone; false when none could be opened. With the up-next screen on,
    // the first entry whose file is there is announced instead.
    bool playFromQueue(std::optional<QueueEntry> entry, bool announce = true);
    void skipQueueEntry();
    void startUpNext();
    void upNextFrame(Bitmap* back, int dt);
    void drawPartyCode(Bitmap& back);
    // Scoring (playerscore.cpp).
    void toggleScoring();
    // A song load opens the voice at its first frame, when the song's clock
    // starts: a recording standing in for the singer starts with the song.
    void startScoring(int fromMs, bool voiceAtFirstFrame = false);
    void scoreFrame(bool songEnded);
    void drawScoring(Bitmap& back, int dt);
    // A CD+G song's graphics as the whole frame, at the song's time.
    void drawGraphics(Bitmap& back);
    void openGraphics();
    // A video's picture as the background, at the song's time, with the
    // picture phases that go over the scenes.
    void drawVideo(Bitmap& back);
    void openVideo();
    void loadSettingsFrom(const ProfileFile& file);
    // False when the song is refused (an UltraStar song without its audio).
    bool openChosenSong(const std::string& path);

    // D, P and the other look keys; the debug and mascot flags are the
    // player's, the rest are settings.
    void toggleLook(char letter);
    void switchTimeEditMode(bool on);
    bool timeEditKeysActive() const;
    void timeEditSetAndNext();
    void timeEditBackAndRewind();
    void timeEditSave();
    // Where the music is now, for a tap: the transport's position, or for
    // MIDI the frame clock carried on to this moment.
    int tapTime();
    void showPlaybackError();

    void togglePause();
    void playSong();
    void stopSong();
    void applySettings();
    void beginExport();
    void endExport();
    // While a video export runs, what would change the song (or draw a
    // frame, whose text caches the export's thread is using) is refused.
    bool refusedWhileExporting(const Command& c);
    void stepSong(int offset);
    void showPlayList();
    void seek(bool forward);
    void seekTo(int ms);
    // Plays from `ms` (none: from where the device stands); false, with the
    // device's error on the status line, when the device refused.
    bool playFrom(std::optional<int> ms);
    // Runs transport commands; false, with the device's error shown, when one failed.
    bool playTransport(const std::function<void()>& commands);
    void showVolume(int percent, bool set);
    void stepVolume(bool up);
    void writeTextExport(TextExport kind);
    void changeSinger(SingerControl control, const SingerControls& singer);
    // The singer's controls to the transport, as far as the song's kind has them.
    void applySinger();

    PlayerHost& m_host;
    std::unique_ptr<Transport> m_transport;
    PlayerOptions m_options;
    Settings m_settings;
    PlayerState m_state;
    DialogValues m_dialog;
    Bitmap m_image1;
    FrameLoop m_frame;
    FramePictures m_pictures;
    // Adds a line to what the next song load shows.
    void noteLoadError(std::string text);

    // Errors of the settings load that the next song load shows.
    std::vector<std::string> m_loadErrors;
    std::vector<std::string> m_loadProblems;
    std::string m_lyricNote;
    ResolvedSong m_song;
    // The song's CD+G graphics, decoded on their own worker; none for a
    // song without them.
    std::unique_ptr<CdgGraphics> m_graphics;
    // The video the song is shown over, decoded on its own worker; none
    // when the scenes and pictures are the background.
    std::unique_ptr<VideoFrames> m_video;
    VideoSettings m_videoSettings;
    // Commands the frames left for afterFrame.
    std::vector<Command> m_queued;
    // Set while a video export of the song runs.
    struct ExportPause {
        std::string song;
        bool musicWasPlaying = false;
    };
    std::optional<ExportPause> m_export;
    PartyQueue m_queue;
    QueueOutcome m_queueOutcome;
    std::optional<QueueEntry> m_upNext;
    int m_upNextMs = 0;
    int m_upNextLeft = 0;  // ms until the announced song starts by itself
    QrCode m_partyCode;
    bool m_partyCodeShown = true;
    struct Scoring;
    std::unique_ptr<Scoring> m_scoring;
    ScoreSettings m_scoreSettings;
    VoiceFactory m_voiceFactory;
};

}  // namespace orba
