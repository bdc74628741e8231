// The MIDI module: FluidSynth's synthesizer and sequencer. Loaded by
// MidiSource on the first MIDI song or export; nothing else of the player
// links FluidSynth.
#include <fluidsynth.h>

#include <algorithm>
#include <climits>
#include <memory>
#include <mutex>

#include "playback/internal/midisynth.h"

namespace orba {

namespace {

constexpr int kPercussionChannel = 9;        // channel 10, counted from 0
constexpr float kSilentCentibels = 1440.0f;  // FluidSynth's most attenuation

// FluidSynth reports on stderr; its problems reach the user as the device's
// error instead.
void silenceFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

struct SettingsDeleter {
    void operator()(fluid_settings_t* p) const { delete_fluid_settings(p); }
};
struct SynthDeleter {
    void operator()(fluid_synth_t* p) const { delete_fluid_synth(p); }
};
struct PlayerDeleter {
    void operator()(fluid_player_t* p) const { delete_fluid_player(p); }
};

class FluidMidiSynth final : public MidiSynth {
public:
    Start start(const std::string& soundFont, int sampleRate, double gain) override;
    bool restartAt(const std::string& smf, std::uint32_t tick, double tempo) override;
    void setTempo(double tempo) override;
    void applyChannelControls(int key, int melodyMute) override;
    void render(float* out, int frames, int channels) override;

private:
    // Declared in the order they depend on each other, so that they go in
    // the reverse: the player before the synth before the settings.
    std::unique_ptr<fluid_settings_t, SettingsDeleter> m_settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> m_synth;
    std::unique_ptr<fluid_player_t, PlayerDeleter> m_player;
};

MidiSynth::Start FluidMidiSynth::start(const std::string& soundFont, int sampleRate, double gain) {
    silenceFluidSynth();
    m_settings.reset(new_fluid_settings());
    if (!m_settings) return Start::NoSynth;
    fluid_settings_t* settings = m_settings.get();
    fluid_settings_setnum(settings, "synth.sample-rate", sampleRate);
    // The sequencer must follow the samples rendered, not the wall clock:
    // rendering runs ahead of playback and restarts on every seek.
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setnum(settings, "synth.gain", gain);
    m_synth.reset(new_fluid_synth(settings));
    if (!m_synth) return Start::NoSynth;
    if (fluid_synth_sfload(m_synth.get(), soundFont.c_str(), 1) == FLUID_FAILED)
        return Start::NoSoundFont;
    return Start::Ready;
}

bool FluidMidiSynth::restartAt(const std::string& smf, std::uint32_t tick, double tempo) {
    // A fresh sequencer is the one state FluidSynth seeks from reliably,
    // whether the old one was playing, finished or never started.
    m_player.reset();
    m_player.reset(new_fluid_player(m_synth.get()));
    if (!m_player) return false;
    if (fluid_player_add_mem(m_player.get(), smf.data(), smf.size()) != FLUID_OK) return false;
    fluid_synth_all_sounds_off(m_synth.get(), -1);
    if (tick > 0 && fluid_player_seek(m_player.get(), static_cast<int>(std::min<std::uint32_t>(
                                                          tick, INT32_MAX))) != FLUID_OK)
        return false;
    fluid_player_set_tempo(m_player.get(), FLUID_PLAYER_TEMPO_INTERNAL, tempo);
    return fluid_player_play(m_player.get()) == FLUID_OK;
}

void FluidMidiSynth::setTempo(double tempo) {
    if (m_player) fluid_player_set_tempo(m_player.get(), FLUID_PLAYER_TEMPO_INTERNAL, tempo);
}

void FluidMidiSynth::applyChannelControls(int key, int melodyMute) {
    fluid_synth_t* s = m_synth.get();
    const int channels = fluid_synth_count_midi_channels(s);
    for (int ch = 0; ch < channels; ++ch) {
        const float coarse = ch % 16 == kPercussionChannel ? 0.0f : static_cast<float>(key);
        if (fluid_synth_get_gen(s, ch, GEN_COARSETUNE) != coarse)
            fluid_synth_set_gen(s, ch, GEN_COARSETUNE, coarse);
        const float attenuation = ch % 16 == melodyMute - 1 ? kSilentCentibels : 0.0f;
        if (fluid_synth_get_gen(s, ch, GEN_ATTENUATION) != attenuation)
            fluid_synth_set_gen(s, ch, GEN_ATTENUATION, attenuation);
    }
}

void FluidMidiSynth::render(float* out, int frames, int channels) {
    fluid_synth_write_float(m_synth.get(), frames, out, 0, channels, out, 1, channels);
}

}  // namespace

}  // namespace orba

extern "C" __attribute__((visibility("default"))) orba::MidiSynth* orba_new_midi_synth_v1() {
    return new orba::FluidMidiSynth();
}
