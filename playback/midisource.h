// MIDI songs are rendered by FluidSynth's own sequencer, which follows every
// tempo change of the file. The media device pulls the audio from here into
// its playback pipeline, so that MIDI and recorded music share one output
// sink and one position clock.
//
// The pipeline pulls from its streaming thread and seeks from the thread that
// seeks; every call takes the source's lock, so either may come at any time.
//
// Two clocks: the samples handed to the pipeline (the output, which the sink
// plays in real time) and the song's own time. They are the same until the
// singer changes the tempo: at 80 % each output sample moves the song by
// 0.8 of a sample. The source keeps where each tempo began, so that the
// position the sink reports in output time can be told in song time. A seek
// starts both clocks at the song time it asks for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "platform/miditempomap.h"

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
    // The song sample that the output sample `out` plays (counted like the
    // samples of render()'s `firstSample`).
    std::uint64_t songSampleAt(std::uint64_t out) const;

    // The singer's controls, in force from the next rendered block. The key
    // moves every channel but the percussion channel (10); the tempo is in
    // percent of the song's; the melody channel (1..16, 0 for none) is silent.
    void setKey(int semitones);
    void setTempo(int percent);
    void setMelodyMute(int channel);

private:
    struct Impl;
    explicit MidiSource(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> m_impl;
};

}  // namespace orba
