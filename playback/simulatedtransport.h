// A transport without sound: its clock moves only when the caller advances
// it. Opening a file asks `lengthOf` for its length (nothing: the file cannot
// be opened); whether it plays as MIDI is given at construction.
//
// While playing, each advance moves the position on, up to the length, where
// the song stops as a device does at the end of its stream.
#pragma once

#include <functional>
#include <optional>

#include "playback/transport.h"

namespace orba {

class SimulatedTransport : public Transport {
public:
    using LengthOf = std::function<std::optional<int>(const std::string&)>;
    explicit SimulatedTransport(LengthOf lengthOf, bool midi = false);

    // Moves the clock on by `ms` while playing. The singer's controls are
    // not heard here: the song keeps its own tempo, as an export's sound does.
    void advance(int ms);
    // Whether the files it opens play as MIDI.
    void setMidi(bool midi) { m_midi = midi; }

    void open(const std::string& fileName) override;
    void close() override;
    void play() override;
    void pauseToggle() override;
    void stop() override;
    void seek(int ms) override;
    void pauseAt(int ms) override;
    void setStartPosition(int ms) override;
    int position() override { return m_position; }
    int mode() override;
    int length() override { return m_length; }
    bool playsMidi() const override { return m_open && m_midi; }
    std::uint32_t lastError() const override { return m_error; }
    std::string errorText() const override;
    std::string takePlaybackError() override { return {}; }

    const std::string& fileName() const { return m_fileName; }

private:
    enum class State { Stopped, Playing, Paused };

    LengthOf m_lengthOf;
    bool m_midi;
    bool m_open = false;
    std::string m_fileName;
    State m_state = State::Stopped;
    int m_position = 0;
    int m_length = 0;
    std::optional<int> m_startPosition;
    std::uint32_t m_error = 0;
};

}  // namespace orba
