#include "playback/midisource.h"

#include <gst/audio/audio.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace orba {

namespace {

constexpr int kChannels = 2;
constexpr std::uint64_t kBlockFrames = 1024;

// FluidSynth reports on stderr; its problems reach the user as the device's
// error instead.
void silenceFluidSynth() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (int level : {FLUID_ERR, FLUID_WARN, FLUID_INFO, FLUID_DBG})
            fluid_set_log_function(level, nullptr, nullptr);
    });
}

GstClockTime sampleTime(std::uint64_t sample) {
    return gst_util_uint64_scale_int(sample, GST_SECOND, MidiSource::kSampleRate);
}

}  // namespace

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

std::unique_ptr<MidiSource> MidiSource::create(std::string smf, const MidiTempoMap& map,
                                               std::string& error) {
    silenceFluidSynth();
    std::unique_ptr<MidiSource> src(new MidiSource);
    std::string soundFont = findSoundFont();
    if (soundFont.empty()) {
        error = "MIDI を鳴らすサウンドフォントが見つかりません";
        return nullptr;
    }
    src->m_settings = new_fluid_settings();
    if (!src->m_settings) {
        error = "MIDI シンセサイザーを準備できません";
        return nullptr;
    }
    fluid_settings_setnum(src->m_settings, "synth.sample-rate", kSampleRate);
    // The sequencer must follow the samples rendered, not the wall clock:
    // rendering runs ahead of playback and restarts on every seek.
    fluid_settings_setstr(src->m_settings, "player.timing-source", "sample");
    fluid_settings_setint(src->m_settings, "synth.lock-memory", 0);
    fluid_settings_setnum(src->m_settings, "synth.gain", 0.5);
    src->m_synth = new_fluid_synth(src->m_settings);
    if (!src->m_synth) {
        error = "MIDI シンセサイザーを準備できません";
        return nullptr;
    }
    if (fluid_synth_sfload(src->m_synth, soundFont.c_str(), 1) == FLUID_FAILED) {
        error = "サウンドフォントを読み込めません: " + soundFont;
        return nullptr;
    }
    src->m_smf = std::move(smf);
    src->m_map = map;
    src->m_endSample =
        static_cast<std::uint64_t>(std::llround(map.msAtTick(map.endTick) * kSampleRate / 1000.0));
    std::lock_guard<std::mutex> lock(src->m_lock);
    if (!src->restartAt(0)) {
        error = "MIDI ファイルを読み込めません";
        return nullptr;
    }
    return src;
}

MidiSource::~MidiSource() {
    if (m_player) delete_fluid_player(m_player);
    if (m_synth) delete_fluid_synth(m_synth);
    if (m_settings) delete_fluid_settings(m_settings);
}

bool MidiSource::restartAt(std::uint64_t sample) {
    // A fresh sequencer is the one state FluidSynth seeks from reliably,
    // whether the old one was playing, finished or never started.
    if (m_player) delete_fluid_player(m_player);
    m_player = new_fluid_player(m_synth);
    if (!m_player) return false;
    if (fluid_player_add_mem(m_player, m_smf.data(), m_smf.size()) != FLUID_OK) return false;
    fluid_synth_all_sounds_off(m_synth, -1);
    std::uint32_t tick = m_map.tickAtMs(sample * 1000.0 / kSampleRate);
    if (tick > 0 && fluid_player_seek(m_player, static_cast<int>(std::min<std::uint32_t>(
                                                    tick, INT32_MAX))) != FLUID_OK)
        return false;
    if (fluid_player_play(m_player) != FLUID_OK) return false;
    m_sample = sample;
    return true;
}

void MidiSource::attach(GstElement* appsrc) {
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32),
                                        "layout", G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT,
                                        kSampleRate, "channels", G_TYPE_INT, kChannels, nullptr);
    g_object_set(appsrc, "caps", caps, "format", GST_FORMAT_TIME, "stream-type",
                 GST_APP_STREAM_TYPE_SEEKABLE, "is-live", FALSE, nullptr);
    gst_caps_unref(caps);
    gst_app_src_set_duration(GST_APP_SRC(appsrc), sampleTime(m_endSample));
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = &MidiSource::needData;
    callbacks.seek_data = &MidiSource::seekData;
    gst_app_src_set_callbacks(GST_APP_SRC(appsrc), &callbacks, this, nullptr);
}

void MidiSource::needData(GstAppSrc* src, guint, gpointer data) {
    auto* self = static_cast<MidiSource*>(data);
    GstBuffer* buffer = nullptr;
    {
        std::lock_guard<std::mutex> lock(self->m_lock);
        std::uint64_t frames =
            std::min(kBlockFrames, self->m_endSample - std::min(self->m_sample, self->m_endSample));
        if (frames > 0) {
            buffer = gst_buffer_new_allocate(nullptr, frames * kChannels * sizeof(float), nullptr);
            GstMapInfo map;
            gst_buffer_map(buffer, &map, GST_MAP_WRITE);
            auto* out = reinterpret_cast<float*>(map.data);
            fluid_synth_write_float(self->m_synth, static_cast<int>(frames), out, 0, kChannels, out,
                                    1, kChannels);
            gst_buffer_unmap(buffer, &map);
            GST_BUFFER_PTS(buffer) = sampleTime(self->m_sample);
            GST_BUFFER_DURATION(buffer) =
                sampleTime(self->m_sample + frames) - sampleTime(self->m_sample);
            GST_BUFFER_OFFSET(buffer) = self->m_sample;
            GST_BUFFER_OFFSET_END(buffer) = self->m_sample + frames;
            self->m_sample += frames;
        }
    }
    if (buffer)
        gst_app_src_push_buffer(src, buffer);
    else
        gst_app_src_end_of_stream(src);
}

gboolean MidiSource::seekData(GstAppSrc*, guint64 offset, gpointer data) {
    auto* self = static_cast<MidiSource*>(data);
    std::lock_guard<std::mutex> lock(self->m_lock);
    std::uint64_t sample = gst_util_uint64_scale_int(offset, kSampleRate, GST_SECOND);
    return self->restartAt(std::min(sample, self->m_endSample));
}

}  // namespace orba
