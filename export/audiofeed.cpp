#include "export/audiofeed.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/files.h"
#include "platform/miditempomap.h"
#include "platform/zipsong.h"
#include "playback/midisource.h"

namespace orba {

namespace {

// The rate every decoded song is brought to: what the Opus encoder takes,
// and as good as any for AAC.
constexpr int kDecodedRate = 48000;
// A wait for decoded audio looks at the stop request this often.
constexpr GstClockTime kPullWait = 100 * GST_MSECOND;
// MIDI files are small; anything larger is not one worth reading whole.

std::uint64_t samplesAt(int ms, int rate) {
    return static_cast<std::uint64_t>(ms) * static_cast<std::uint64_t>(rate) / 1000;
}

class SilenceFeed : public AudioFeed {
public:
    int sampleRate() const override { return kDecodedRate; }
    std::size_t read(float*, std::size_t) override { return 0; }
};

class MidiFeed : public AudioFeed {
public:
    explicit MidiFeed(std::unique_ptr<MidiSource> midi) : m_midi(std::move(midi)) {}
    int sampleRate() const override { return MidiSource::kSampleRate; }
    std::size_t read(float* out, std::size_t frames) override {
        std::uint64_t first = 0;
        return m_midi->render(out, frames, first);
    }

private:
    std::unique_ptr<MidiSource> m_midi;
};

std::unique_ptr<AudioFeed> makeMidiFeed(const std::string& file, int fromMs, std::string& error) {
    const std::string bytes = readFileStart(file, kMaxMidiBytes);
    std::optional<MidiTempoMap> map;
    if (looksLikeMidi(bytes)) map = parseMidiTempoMap(bytes);
    if (!map) {
        error = "cannot read the MIDI file " + file;
        return nullptr;
    }
    std::unique_ptr<MidiSource> midi =
        MidiSource::create(std::string(standardMidiData(bytes)), *map, error);
    if (!midi) return nullptr;
    if (fromMs > 0 && !midi->seekToSample(samplesAt(fromMs, MidiSource::kSampleRate))) {
        error = "cannot start the MIDI file " + file + " at " + std::to_string(fromMs) + " ms";
        return nullptr;
    }
    return std::make_unique<MidiFeed>(std::move(midi));
}

struct GstUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};

// Recorded music through its own decoding pipeline into an appsink. The
// samples before the start are decoded and dropped: counting them is exact
// for every format, where a seek would land on a frame boundary.
class DecodedFeed : public AudioFeed {
public:
    ~DecodedFeed() override {
        if (m_pipeline) gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    }

    bool start(const std::string& file, int fromMs, std::string& error) {
        m_file = file;
        // The music of a song zip is read out of it into memory and decoded
        // from there, from the start.
        std::optional<std::string> zipped;
        if (hasZipExtension(file)) {
            const ZipSongEntries entries = lookInZip(file);
            error = entries.problem;
            if (error.empty()) zipped = readZipEntry(file, entries.music, kZipSongMaxBytes, &error);
            if (!zipped) {
                error = fileNamePart(file) + ": " + error;
                return false;
            }
        }
        GError* problem = nullptr;
        GstElement* pipeline = gst_parse_launch(
            zipped ? "appsrc name=memory ! decodebin ! audioconvert ! audioresample ! "
                     "audio/x-raw,format=F32LE,layout=interleaved,rate=48000,channels=2 ! "
                     "appsink name=sink sync=false max-buffers=16"
                   : "uridecodebin name=decoder ! audioconvert ! audioresample ! "
                     "audio/x-raw,format=F32LE,layout=interleaved,rate=48000,channels=2 ! "
                     "appsink name=sink sync=false max-buffers=16",
            &problem);
        if (problem) g_error_free(problem);
        if (!pipeline) {
            error = "GStreamer cannot decode audio here (uridecodebin or audioconvert is missing)";
            return false;
        }
        m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
        if (zipped) {
            GstElement* memory = gst_bin_get_by_name(GST_BIN(pipeline), "memory");
            auto* bytes = new std::string(std::move(*zipped));
            GstBuffer* whole = gst_buffer_new_wrapped_full(
                GST_MEMORY_FLAG_READONLY, bytes->data(), bytes->size(), 0, bytes->size(), bytes,
                [](gpointer b) { delete static_cast<std::string*>(b); });
            gst_app_src_push_buffer(GST_APP_SRC(memory), whole);
            gst_app_src_end_of_stream(GST_APP_SRC(memory));
            gst_object_unref(memory);
        } else {
            gchar* uri = gst_filename_to_uri(file.c_str(), nullptr);
            if (!uri) {
                error = "cannot open " + file;
                return false;
            }
            GstElement* decoder = gst_bin_get_by_name(GST_BIN(pipeline), "decoder");
            g_object_set(decoder, "uri", uri, nullptr);
            gst_object_unref(decoder);
            g_free(uri);
        }
        m_sink.reset(gst_bin_get_by_name(GST_BIN(pipeline), "sink"));
        m_bus.reset(gst_element_get_bus(pipeline));
        m_skip = samplesAt(fromMs, kDecodedRate);
        if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
            checkBus();
            error = m_error.empty() ? "cannot decode " + file : m_error;
            return false;
        }
        return true;
    }

    int sampleRate() const override { return kDecodedRate; }

    std::size_t read(float* out, std::size_t frames) override {
        while (m_pending.size() == m_used) {
            if (!pull()) return 0;
        }
        const std::size_t available = (m_pending.size() - m_used) / kChannels;
        const std::size_t n = std::min(frames, available);
        std::memcpy(out, m_pending.data() + m_used, n * kChannels * sizeof(float));
        m_used += n * kChannels;
        return n;
    }

    std::string error() const override {
        std::lock_guard<std::mutex> lock(m_errorLock);
        return m_error;
    }
    void stop() override { m_stop = true; }

private:
    // The next decoded buffer into m_pending, less what lies before the
    // start; false at the end of the stream, on an error or a stop.
    bool pull() {
        while (!m_stop) {
            if (!checkBus()) return false;
            GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(m_sink.get()), kPullWait);
            if (!sample) {
                if (gst_app_sink_is_eos(GST_APP_SINK(m_sink.get()))) return false;
                continue;
            }
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const std::size_t count = map.size / sizeof(float);
                const std::size_t frames = count / kChannels;
                const std::size_t dropped =
                    static_cast<std::size_t>(std::min<std::uint64_t>(m_skip, frames));
                m_skip -= dropped;
                const float* data = reinterpret_cast<const float*>(map.data);
                m_pending.assign(data + dropped * kChannels, data + frames * kChannels);
                m_used = 0;
                gst_buffer_unmap(buffer, &map);
            }
            gst_sample_unref(sample);
            if (!m_pending.empty()) return true;
        }
        return false;
    }

    bool checkBus() {
        while (GstMessage* msg = gst_bus_pop_filtered(m_bus.get(), GST_MESSAGE_ERROR)) {
            GError* e = nullptr;
            gst_message_parse_error(msg, &e, nullptr);
            {
                std::lock_guard<std::mutex> lock(m_errorLock);
                if (m_error.empty())
                    m_error = "cannot decode " + m_file + ": " +
                              (e && e->message ? e->message : "unknown error");
            }
            if (e) g_error_free(e);
            gst_message_unref(msg);
        }
        std::lock_guard<std::mutex> lock(m_errorLock);
        return m_error.empty();
    }

    std::unique_ptr<GstElement, GstUnref> m_pipeline;
    std::unique_ptr<GstElement, GstUnref> m_sink;
    std::unique_ptr<GstBus, GstUnref> m_bus;
    std::string m_file;
    std::uint64_t m_skip = 0;
    std::vector<float> m_pending;
    std::size_t m_used = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_errorLock;
    std::string m_error;
};

}  // namespace

std::unique_ptr<AudioFeed> makeAudioFeed(const ExportAudio& audio, int fromMs, std::string& error) {
    switch (audio.kind) {
        case ExportAudio::Kind::Silence:
            return std::make_unique<SilenceFeed>();
        case ExportAudio::Kind::Midi:
            return makeMidiFeed(audio.file, fromMs, error);
        case ExportAudio::Kind::Decoded: {
            auto feed = std::make_unique<DecodedFeed>();
            if (!feed->start(audio.file, fromMs, error)) return nullptr;
            return feed;
        }
    }
    return nullptr;
}

}  // namespace orba
