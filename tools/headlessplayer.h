// The player as the headless tools run it: the real Player over a simulated
// transport, with no window, no sound and no file of the user's written.
// Its frames come every 15 ms of a simulated clock, and the music (when the
// song has any) moves on by the same 15 ms per frame.
#pragma once

#include <QGuiApplication>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "platform/bitmap.h"
#include "playback/simulatedtransport.h"
#include "player/player.h"

namespace orba {

inline constexpr int kSimulatedFrameMs = 15;

class ToolInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Text needs the font machinery of a GUI application, but never a display:
// an offscreen one when the process has none yet (else nothing).
std::unique_ptr<QGuiApplication> offscreenApplication();

// The settings the player would read from its settings file.
Settings settingsFromFile();

class HeadlessPlayer {
public:
    // `lyricsGiven`: the song's lyrics are the lyric file the tool names,
    // never one found beside or inside music.
    explicit HeadlessPlayer(bool lyricsGiven = true);

    // Loads `lyricFile` as the song with `settings`: lyrics on; with a song
    // length, music of that length (not MIDI), else none. Throws
    // ToolInputError when the lyric file cannot be read.
    void loadLyricFile(const std::string& lyricFile, std::optional<int> songLength,
                       Settings settings);

    // Loads a music file as the window would open it: its lyric file,
    // pictures and per-song file found beside it, the lyrics inside it, its
    // length read from the file. Throws ToolInputError when it cannot be
    // opened.
    void loadMusicFile(const std::string& musicFile);

    Player& player() { return m_player; }
    const Player& player() const { return m_player; }
    const PlayerState& state() const { return m_player.state(); }
    // Frames run so far after the load's restart frame 0.
    int frame() const { return m_frame; }
    bool ended() const { return m_ended; }

    // Frame k + 1 of the clocks and the timeline alone; the restart frame 0 first.
    LyricFrame nextClockFrame();
    // The same frame, drawn whole into `back` at cw x ch.
    void nextDrawnFrame(Bitmap& back, int cw, int ch);

private:
    unsigned nextTick();

    HeadlessHost m_host;
    SimulatedTransport* m_transport = nullptr;  // owned by the player
    std::optional<int> m_songLength;
    Player m_player;
    int m_frame = -1;
    bool m_ended = false;
};

}  // namespace orba
