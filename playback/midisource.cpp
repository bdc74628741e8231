#include "playback/midisource.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <mutex>
#include <vector>

#include "platform/modules.h"
#include "playback/internal/midisynth.h"

namespace orba {

// Where a tempo began: the output sample and the song sample it began at.
struct TempoSpan {
    std::uint64_t out = 0;
    double song = 0;
    double tempo = 1.0;
};

constexpr std::size_t kMaxSpans = 256;

struct MidiSource::Impl {
    // Restarts the sequencer at a sample position (the lock is held).
    bool restartAt(std::uint64_t sample);

    mutable std::mutex lock;
    std::unique_ptr<MidiSynth> synth;
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
    auto d = std::make_unique<Impl>();
    std::string soundFont = findSoundFont();
    if (soundFont.empty()) {
        error = "MIDI を鳴らすサウンドフォントが見つかりません";
        return nullptr;
    }
    std::string why;
    const auto factory =
        reinterpret_cast<MidiSynthFactory>(moduleSymbol(kMidiModule, kMidiFactory, why));
    if (!factory) {
        error = "MIDI を鳴らすモジュールを読み込めません: " + why;
        return nullptr;
    }
    d->synth.reset(factory());
    switch (d->synth->start(soundFont, kSampleRate, 0.5)) {
        case MidiSynth::Start::Ready:
            break;
        case MidiSynth::Start::NoSynth:
            error = "MIDI シンセサイザーを準備できません";
            return nullptr;
        case MidiSynth::Start::NoSoundFont:
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
    if (!synth->restartAt(smf, map.tickAtMs(at * 1000.0 / kSampleRate), tempo)) return false;
    out = at;
    song = static_cast<double>(at);
    spans.assign(1, TempoSpan{out, song, tempo});
    return true;
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
    // The singer's key and mute go on the channels before each block, so
    // that whatever the file does to its channels (a system reset, say)
    // cannot undo them.
    d.synth->applyChannelControls(d.key, d.melodyMute);
    d.synth->render(out, static_cast<int>(n), kChannels);
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
    d.synth->setTempo(tempo);
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
