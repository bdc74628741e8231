#include "playback/midisource.h"

#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <vector>

namespace orba {

namespace {

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

}  // namespace

// Where a tempo began: the output sample and the song sample it began at.
struct TempoSpan {
    std::uint64_t out = 0;
    double song = 0;
    double tempo = 1.0;
};

constexpr int kPercussionChannel = 9;        // channel 10, counted from 0
constexpr float kSilentCentibels = 1440.0f;  // FluidSynth's most attenuation
constexpr std::size_t kMaxSpans = 256;

struct MidiSource::Impl {
    // Restarts the sequencer at a sample position (the lock is held).
    bool restartAt(std::uint64_t sample);
    // Puts the singer's key and mute on the channels before each block, so
    // that whatever the file does to its channels (a system reset, say)
    // cannot undo them.
    void applyChannelControls();

    mutable std::mutex lock;
    // Declared in the order they depend on each other, so that they go in
    // the reverse: the player before the synth before the settings.
    std::unique_ptr<fluid_settings_t, SettingsDeleter> settings;
    std::unique_ptr<fluid_synth_t, SynthDeleter> synth;
    std::unique_ptr<fluid_player_t, PlayerDeleter> player;
    std::string smf;
    MidiTempoMap map;
    std::uint64_t out = 0;         // next output sample, counted as the song's at the last seek
    double song = 0;               // song sample that the next output sample plays
    std::uint64_t endSample = 0;   // the song's length in samples
    std::vector<TempoSpan> spans;  // since the last seek, oldest first
    int key = 0;
    double tempo = 1.0;
    int melodyMute = 0;
};

std::string findSoundFont() {
    // The first is Debian's chosen General MIDI soundfont; the others are the
    // files of the usual soundfont packages.
    static const char* const candidates[] = {
        "/usr/share/sounds/sf2/default-GM.sf2", "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/soundfonts/default.sf2",
        "/usr/share/soundfonts/FluidR3_GM.sf2",
    };
    for (const char* path : candidates) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec)) return path;
    }
    return {};
}

MidiSource::MidiSource(std::unique_ptr<Impl> impl) : m_impl(std::move(impl)) {}

MidiSource::~MidiSource() = default;

std::unique_ptr<MidiSource> MidiSource::create(std::string smf, const MidiTempoMap& map,
                                               std::string& error) {
    silenceFluidSynth();
    auto d = std::make_unique<Impl>();
    std::string soundFont = findSoundFont();
    if (soundFont.empty()) {
        error = "MIDI を鳴らすサウンドフォントが見つかりません";
        return nullptr;
    }
    d->settings.reset(new_fluid_settings());
    if (!d->settings) {
        error = "MIDI シンセサイザーを準備できません";
        return nullptr;
    }
    fluid_settings_t* settings = d->settings.get();
    fluid_settings_setnum(settings, "synth.sample-rate", kSampleRate);
    // The sequencer must follow the samples rendered, not the wall clock:
    // rendering runs ahead of playback and restarts on every seek.
    fluid_settings_setstr(settings, "player.timing-source", "sample");
    fluid_settings_setint(settings, "synth.lock-memory", 0);
    fluid_settings_setnum(settings, "synth.gain", 0.5);
    d->synth.reset(new_fluid_synth(settings));
    if (!d->synth) {
        error = "MIDI シンセサイザーを準備できません";
        return nullptr;
    }
    if (fluid_synth_sfload(d->synth.get(), soundFont.c_str(), 1) == FLUID_FAILED) {
        error = "サウンドフォントを読み込めません: " + soundFont;
        return nullptr;
    }
    d->smf = std::move(smf);
    d->map = map;
    d->endSample =
        static_cast<std::uint64_t>(std::llround(map.msAtTick(map.endTick) * kSampleRate / 1000.0));
    std::lock_guard<std::mutex> lock(d->lock);
    if (!d->restartAt(0)) {
        error = "MIDI ファイルを読み込めません";
        return nullptr;
    }
    return std::unique_ptr<MidiSource>(new MidiSource(std::move(d)));
}

bool MidiSource::Impl::restartAt(std::uint64_t at) {
    // A fresh sequencer is the one state FluidSynth seeks from reliably,
    // whether the old one was playing, finished or never started.
    player.reset();
    player.reset(new_fluid_player(synth.get()));
    if (!player) return false;
    if (fluid_player_add_mem(player.get(), smf.data(), smf.size()) != FLUID_OK) return false;
    fluid_synth_all_sounds_off(synth.get(), -1);
    std::uint32_t tick = map.tickAtMs(at * 1000.0 / kSampleRate);
    if (tick > 0 && fluid_player_seek(player.get(), static_cast<int>(std::min<std::uint32_t>(
                                                        tick, INT32_MAX))) != FLUID_OK)
        return false;
    fluid_player_set_tempo(player.get(), FLUID_PLAYER_TEMPO_INTERNAL, tempo);
    if (fluid_player_play(player.get()) != FLUID_OK) return false;
    out = at;
    song = static_cast<double>(at);
    spans.assign(1, TempoSpan{out, song, tempo});
    return true;
}

void MidiSource::Impl::applyChannelControls() {
    fluid_synth_t* s = synth.get();
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

std::size_t MidiSource::render(float* out, std::size_t frames, std::uint64_t& firstSample) {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lock);
    const double left = static_cast<double>(d.endSample) - d.song;
    // The output samples that the rest of the song takes at this tempo.
    const double leftOut = left > 0 ? std::ceil(left / d.tempo - 1e-9) : 0.0;
    std::size_t n =
        static_cast<std::size_t>(std::min<double>(static_cast<double>(frames), leftOut));
    firstSample = d.out;
    if (n == 0) return 0;
    d.applyChannelControls();
    fluid_synth_write_float(d.synth.get(), static_cast<int>(n), out, 0, kChannels, out, 1,
                            kChannels);
    d.out += n;
    d.song += static_cast<double>(n) * d.tempo;
    return n;
}

std::uint64_t MidiSource::songSampleAt(std::uint64_t out) const {
    const Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lock);
    auto span = d.spans.rbegin();
    while (span != d.spans.rend() && span->out > out) ++span;
    if (span == d.spans.rend()) return out;  // before the last seek: not ours to map
    const double song = span->song + static_cast<double>(out - span->out) * span->tempo;
    return static_cast<std::uint64_t>(std::min(std::max(song, 0.0), double(d.endSample)));
}

void MidiSource::setKey(int semitones) {
    std::lock_guard<std::mutex> lock(m_impl->lock);
    m_impl->key = semitones;
}

void MidiSource::setMelodyMute(int channel) {
    std::lock_guard<std::mutex> lock(m_impl->lock);
    m_impl->melodyMute = channel;
}

void MidiSource::setTempo(int percent) {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lock);
    const double tempo = percent / 100.0;
    if (tempo <= 0 || tempo == d.tempo) return;
    d.tempo = tempo;
    if (d.player) fluid_player_set_tempo(d.player.get(), FLUID_PLAYER_TEMPO_INTERNAL, tempo);
    if (d.spans.size() >= kMaxSpans) d.spans.erase(d.spans.begin());
    d.spans.push_back(TempoSpan{d.out, d.song, tempo});
}

bool MidiSource::seekToSample(std::uint64_t sample) {
    Impl& d = *m_impl;
    std::lock_guard<std::mutex> lock(d.lock);
    return d.restartAt(std::min(sample, d.endSample));
}

std::uint64_t MidiSource::endSample() const {
    return m_impl->endSample;
}

}  // namespace orba
