// A song played in simulation for the headless tools: the lyric file goes
// through the song loader's text steps, and the frame loop runs on a clock
// that ticks every 15 ms, with the music (when it has a length) at 15 ms per
// frame. No window, no audio device.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>

#include "effects/framepictures.h"
#include "lyrics/frame.h"
#include "settings/playerstate.h"
#include "settings/settings.h"

namespace orba {

inline constexpr int kSimulatedFrameMs = 15;

class ToolInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The settings the player would read from its settings file.
Settings settingsFromFile();

class SongSimulation : public FrameHooks {
public:
    // Loads `lyricFile` as a song load would: lyrics on; with a song length,
    // music of that length (not MIDI), else none. Throws ToolInputError.
    SongSimulation(const std::string& lyricFile, std::optional<int> songLength, Settings settings);

    Settings& settings() { return m_settings; }
    const PlayerState& state() const { return m_state; }
    PlayerState& state() { return m_state; }
    const FrameLoop& loop() const { return m_loop; }
    // Frames run so far after the load's restart frame 0.
    int frame() const { return m_frame; }
    bool ended() const { return m_ended; }

    // Frame k + 1 of the clock alone (no drawing); the restart frame 0 first.
    LyricFrame nextClockFrame();
    // The same frame, drawn whole into `back` at cw x ch.
    void nextDrawnFrame(Bitmap& back, int cw, int ch);

private:
    unsigned tickOf(int frame) const {
        return 1u + static_cast<unsigned>(frame) * kSimulatedFrameMs;
    }
    void drawPictures(Bitmap& back, const FrameValues& f, const Settings& s,
                      const PlayerState& st) override;
    int playbackPosition() override { return m_frame * kSimulatedFrameMs; }
    int playbackMode() override { return 2; }
    void endOfSong(PlayerState&) override { m_ended = true; }

    Settings m_settings;
    PlayerState m_state;
    FrameLoop m_loop;
    FramePictures m_pictures;
    Bitmap m_mascot;
    int m_frame = -1;
    bool m_ended = false;
};

}  // namespace orba
