#include "scoring/microphone.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>

#include "playback/gstreamer.h"
#include "scoring/gstholders.h"
#include "scoring/pitchtracker.h"

namespace orba {

namespace {

constexpr const char* kSourceVariable = "ORBAKARAOKE_MIC_SOURCE";
// What the frames have not taken yet: a few seconds, should they stop asking.
constexpr std::size_t kMostWaiting = 500;

double steadyMs() {
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

}  // namespace

struct Microphone::Impl {
    struct Heard {
        double atMs;  // steady clock
        float hz;
    };

    GstElementHolder pipeline;
    GstElement* sink = nullptr;
    std::thread worker;
    std::atomic<bool> stopping{false};
    mutable std::mutex lock;
    std::vector<Heard> waiting;
    std::string problem;

    // When the buffer's first sample was heard, on the steady clock: its
    // time on the pipeline's clock, which a worker that is late to take it
    // does not move; the moment it came, less its length, without one.
    double heardAt(GstBuffer* buffer, double lengthMs) {
        const double now = steadyMs();
        GstClock* clock = gst_element_get_clock(pipeline.get());
        if (!clock || !GST_BUFFER_PTS_IS_VALID(buffer)) {
            if (clock) gst_object_unref(clock);
            return now - lengthMs;
        }
        const GstClockTime at = gst_element_get_base_time(pipeline.get()) + GST_BUFFER_PTS(buffer);
        const double agoMs = (double(gst_clock_get_time(clock)) - double(at)) / GST_MSECOND;
        gst_object_unref(clock);
        return now - agoMs;
    }

    void run() {
        PitchTracker tracker;
        if (!tracker.problem().empty()) {
            std::lock_guard<std::mutex> g(lock);
            problem = tracker.problem();
            return;
        }
        GstAppSink* app = GST_APP_SINK(sink);
        GstBus* bus = gst_element_get_bus(pipeline.get());
        while (!stopping) {
            if (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
                GError* error = nullptr;
                gst_message_parse_error(m, &error, nullptr);
                std::lock_guard<std::mutex> g(lock);
                // Before its first sound it never was a microphone.
                problem = std::string(tracker.samplesTaken() > 0 ? "the microphone stopped: "
                                                                 : "no microphone: ") +
                          (error ? error->message : "an error");
                if (error) g_error_free(error);
                gst_message_unref(m);
                break;
            }
            GstSample* sample = gst_app_sink_try_pull_sample(app, 50 * GST_MSECOND);
            if (!sample) {
                if (gst_app_sink_is_eos(app)) break;
                continue;
            }
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            GstMapInfo map;
            if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                const auto* data = reinterpret_cast<const float*>(map.data);
                const std::size_t n = map.size / sizeof(float);
                const std::int64_t first = tracker.samplesTaken();
                const double startMs = heardAt(buffer, double(n) * 1000.0 / kVoiceRate);
                std::vector<Heard> heard;
                tracker.push(data, n, [&](std::int64_t centre, float hz) {
                    heard.push_back({startMs + double(centre - first) * 1000.0 / kVoiceRate, hz});
                });
                gst_buffer_unmap(buffer, &map);
                std::lock_guard<std::mutex> g(lock);
                waiting.insert(waiting.end(), heard.begin(), heard.end());
                if (waiting.size() > kMostWaiting)
                    waiting.erase(waiting.begin(), waiting.end() - kMostWaiting);
            }
            gst_sample_unref(sample);
        }
        gst_object_unref(bus);
    }
};

Microphone::Microphone() : m_impl(std::make_unique<Impl>()) {}

Microphone::~Microphone() {
    m_impl->stopping = true;
    if (m_impl->worker.joinable()) m_impl->worker.join();
}

std::string Microphone::sourceDescription() {
    const char* d = std::getenv(kSourceVariable);
    return d && *d ? d : "autoaudiosrc";
}

std::unique_ptr<Microphone> Microphone::open(std::string& why) {
    if (!initGStreamer()) {
        why = "GStreamer cannot start";
        return nullptr;
    }
    const std::string description = sourceDescription();
    GError* error = nullptr;
    GstElement* source = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (!source || error) {
        why = "the microphone source '" + description +
              "' cannot be used: " + (error ? error->message : "no element");
        if (error) g_error_free(error);
        if (source) gst_object_unref(source);
        return nullptr;
    }
    std::unique_ptr<Microphone> mic(new Microphone);
    Impl& m = *mic->m_impl;
    m.pipeline.reset(gst_pipeline_new("microphone"));
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    m.sink = gst_element_factory_make("appsink", nullptr);
    if (!convert || !resample || !m.sink) {
        why = "GStreamer lacks the elements to hear a microphone";
        return nullptr;
    }
    GstCaps* caps = voiceCaps();
    // sync: a file as the source is heard at the pace it was sung.
    g_object_set(m.sink, "caps", caps, "sync", TRUE, "max-buffers", 64, "drop", TRUE, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(m.pipeline.get()), source, convert, resample, m.sink, nullptr);
    if (!gst_element_link_many(source, convert, resample, m.sink, nullptr)) {
        why = "the microphone source '" + description + "' gives no sound";
        return nullptr;
    }
    if (gst_element_set_state(m.pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const std::string e = busError(m.pipeline.get());
        why = "no microphone (" + (e.empty() ? description : e) + ")";
        return nullptr;
    }
    m.worker = std::thread([&m] { m.run(); });
    return mic;
}

std::vector<PitchSample> Microphone::take(int songMs, int delayMs) {
    std::vector<Impl::Heard> heard;
    {
        std::lock_guard<std::mutex> g(m_impl->lock);
        heard.swap(m_impl->waiting);
    }
    const double now = steadyMs();
    std::vector<PitchSample> out;
    out.reserve(heard.size());
    for (const Impl::Heard& h : heard)
        out.push_back({songMs - static_cast<int>(now - h.atMs) - delayMs, h.hz, kPitchHopMs});
    return out;
}

std::string Microphone::problem() const {
    std::lock_guard<std::mutex> g(m_impl->lock);
    return m_impl->problem;
}

}  // namespace orba
