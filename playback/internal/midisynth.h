// What MidiSource asks of the MIDI module (orba_midi_fluidsynth.so):
// FluidSynth's synthesizer and sequencer behind types of our own. The clocks
// and the singer's controls stay in MidiSource; the module only plays. The
// version of the interface is in the name of the factory, to be raised with
// any change here.
#pragma once

#include <cstdint>
#include <string>

namespace orba {

class MidiSynth {
public:
    enum class Start { Ready, NoSynth, NoSoundFont };

    virtual ~MidiSynth() = default;
    // Makes the synthesizer (rendering at `sampleRate`, its sequencer timed
    // by the samples rendered) and loads the soundfont into it.
    virtual Start start(const std::string& soundFont, int sampleRate, double gain) = 0;
    // A fresh sequencer over the file `smf`, silent, at `tick`, at `tempo`
    // times the file's own; false when it cannot play there.
    virtual bool restartAt(const std::string& smf, std::uint32_t tick, double tempo) = 0;
    virtual void setTempo(double tempo) = 0;
    // Every channel but the percussion channel moved by `key` semitones;
    // the channel `melodyMute` (1..16, 0 for none) silent.
    virtual void applyChannelControls(int key, int melodyMute) = 0;
    // Renders `frames` interleaved frames of `channels` floats.
    virtual void render(float* out, int frames, int channels) = 0;
};

using MidiSynthFactory = MidiSynth* (*)();
inline constexpr const char* kMidiModule = "orba_midi_fluidsynth.so";
inline constexpr const char* kMidiFactory = "orba_new_midi_synth_v1";

}  // namespace orba
