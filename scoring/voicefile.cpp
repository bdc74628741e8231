#include "scoring/voicefile.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <stdexcept>

#include "playback/gstreamer.h"
#include "scoring/gstholders.h"

namespace orba {

std::vector<float> decodeVoiceFile(const std::string& path) {
    if (!initGStreamer()) throw std::runtime_error("GStreamer cannot start");
    GstElementHolder pipeline(gst_pipeline_new("voice-file"));
    GstElement* src = gst_element_factory_make("filesrc", nullptr);
    GstElement* decode = gst_element_factory_make("decodebin", nullptr);
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!src || !decode || !convert || !resample || !sink)
        throw std::runtime_error("GStreamer lacks the elements to decode a recording");
    g_object_set(src, "location", path.c_str(), nullptr);
    GstCaps* caps = voiceCaps();
    g_object_set(sink, "caps", caps, "sync", FALSE, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(pipeline.get()), src, decode, convert, resample, sink, nullptr);
    gst_element_link(src, decode);
    gst_element_link_many(convert, resample, sink, nullptr);
    g_signal_connect(decode, "pad-added", G_CALLBACK(+[](GstElement*, GstPad* pad, gpointer next) {
                         GstPad* sinkPad = gst_element_get_static_pad(GST_ELEMENT(next), "sink");
                         if (!gst_pad_is_linked(sinkPad)) gst_pad_link(pad, sinkPad);
                         gst_object_unref(sinkPad);
                     }),
                     convert);
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const std::string error = busError(pipeline.get());
        throw std::runtime_error(error.empty() ? "it cannot be played" : error);
    }

    std::vector<float> samples;
    GstAppSink* app = GST_APP_SINK(sink);
    // A decoder that fails stops feeding the sink without ending its stream:
    // the bus says so between waits.
    constexpr GstClockTime kWait = 100 * GST_MSECOND;
    std::string error;
    for (;;) {
        GstSample* sample = gst_app_sink_try_pull_sample(app, kWait);
        if (!sample) {
            if (gst_app_sink_is_eos(app)) break;
            error = busError(pipeline.get());
            if (!error.empty()) break;
            continue;
        }
        takeSamples(sample, samples);
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (!error.empty()) throw std::runtime_error(error);
    return samples;
}

RecordedVoice::RecordedVoice(std::vector<float> samples) : m_samples(std::move(samples)) {}

std::vector<PitchSample> RecordedVoice::take(int songMs, int delayMs) {
    std::vector<PitchSample> out;
    // The microphone has heard the recording up to the song's time now.
    const auto heard = static_cast<std::size_t>(
        std::clamp<long long>(static_cast<long long>(songMs) * kVoiceRate / 1000, 0,
                              static_cast<long long>(m_samples.size())));
    if (heard <= m_fed) return out;
    m_tracker.push(m_samples.data() + m_fed, heard - m_fed, [&](std::int64_t centre, float hz) {
        const auto ms = static_cast<int>(centre * 1000 / kVoiceRate) - delayMs;
        out.push_back({ms, hz, kPitchHopMs});
    });
    m_fed = heard;
    return out;
}

}  // namespace orba
