// MIDI songs are rendered by FluidSynth's own sequencer, which follows every
// tempo change of the file. The media device pulls the audio from here into
// its playback pipeline, so that MIDI and recorded music share one output
// sink and one position clock.
//
// The pipeline pulls from its streaming thread and seeks from the thread that
// seeks; every call takes the source's lock, so either may come at any time.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "playback/miditempomap.h"

namespace orba {

// The General MIDI soundfont to play with ("" when none is installed).
std::string findSoundFont();

class MidiSource {
public:
    // Loads the soundfont and checks the song; nullptr with `error` set when
    // either cannot be used.
    static std::unique_ptr<MidiSource> create(std::string smf, const MidiTempoMap& map,
                                              std::string& error);
    ~MidiSource();
    MidiSource(const MidiSource&) = delete;
    MidiSource& operator=(const MidiSource&) = delete;

    static constexpr int kSampleRate = 44100;
    static constexpr int kChannels = 2;

    // Renders up to `frames` interleaved float frames from where the song
    // stands; returns how many (0 at the end) and the song sample of the
    // first in `firstSample`.
    std::size_t render(float* out, std::size_t frames, std::uint64_t& firstSample);
    // Goes on from a sample position (clamped to the end); false when the
    // sequencer cannot restart there.
    bool seekToSample(std::uint64_t sample);
    // The song's length in samples.
    std::uint64_t endSample() const;

private:
    struct Impl;
    explicit MidiSource(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace orba
