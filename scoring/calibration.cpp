#include "scoring/calibration.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "playback/gstreamer.h"
#include "scoring/gstholders.h"
#include "scoring/microphone.h"
#include "scoring/pitchtracker.h"

namespace orba {

std::vector<int> clickOnsets(const std::vector<float>& samples, int rate, float threshold,
                             int quietMs) {
    std::vector<int> onsets;
    const long long quietSamples = static_cast<long long>(quietMs) * rate / 1000;
    long long quiet = quietSamples;  // the start counts as quiet
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (std::abs(samples[i]) >= threshold) {
            if (quiet >= quietSamples)
                onsets.push_back(static_cast<int>(static_cast<long long>(i) * 1000 / rate));
            quiet = 0;
        } else {
            ++quiet;
        }
    }
    return onsets;
}

std::optional<int> measuredDelay(const std::vector<int>& clicksMs,
                                 const std::vector<int>& onsetsMs) {
    std::vector<int> delays;
    for (int click : clicksMs) {
        const auto heard = std::lower_bound(onsetsMs.begin(), onsetsMs.end(), click);
        if (heard != onsetsMs.end() && *heard - click <= kLatestClickMs)
            delays.push_back(*heard - click);
    }
    if (delays.empty() || delays.size() * 2 < clicksMs.size()) return std::nullopt;
    std::sort(delays.begin(), delays.end());
    return delays[delays.size() / 2];
}

namespace {

GstElement* outputSink() {
    const char* d = std::getenv("ORBAKARAOKE_AUDIO_SINK");
    const std::string description = d && *d ? d : "autoaudiosink";
    return gst_parse_bin_from_description(description.c_str(), TRUE, nullptr);
}

}  // namespace

Calibration calibrateMicDelay() {
    Calibration c;
    c.clicks = kCalibrationClicks;
    if (!initGStreamer()) {
        c.problem = "GStreamer cannot start";
        return c;
    }
    GstElementHolder pipeline(gst_pipeline_new("calibration"));
    GstElement* ticks = gst_element_factory_make("audiotestsrc", nullptr);
    GstElement* playConvert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* output = outputSink();
    const std::string description = Microphone::sourceDescription();
    GError* error = nullptr;
    GstElement* mic = gst_parse_bin_from_description(description.c_str(), TRUE, &error);
    if (error) {
        c.problem = "the microphone source '" + description + "' cannot be used: " + error->message;
        g_error_free(error);
        if (mic) gst_object_unref(mic);
        return c;
    }
    GstElement* convert = gst_element_factory_make("audioconvert", nullptr);
    GstElement* resample = gst_element_factory_make("audioresample", nullptr);
    GstElement* sink = gst_element_factory_make("appsink", nullptr);
    if (!ticks || !playConvert || !output || !mic || !convert || !resample || !sink) {
        c.problem = "GStreamer lacks the elements to play and hear clicks";
        return c;
    }
    g_object_set(ticks, "wave", 8, "is-live", TRUE, "tick-interval",
                 static_cast<guint64>(kCalibrationIntervalMs) * GST_MSECOND, "volume", 0.8,
                 nullptr);
    GstCaps* caps = voiceCaps();
    g_object_set(sink, "caps", caps, "sync", TRUE, nullptr);
    gst_caps_unref(caps);
    gst_bin_add_many(GST_BIN(pipeline.get()), ticks, playConvert, output, mic, convert, resample,
                     sink, nullptr);
    if (!gst_element_link_many(ticks, playConvert, output, nullptr) ||
        !gst_element_link_many(mic, convert, resample, sink, nullptr)) {
        c.problem = "the clicks or the microphone cannot be connected";
        return c;
    }
    if (gst_element_set_state(pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        const std::string e = busError(pipeline.get());
        c.problem = "no microphone or no sound output (" + (e.empty() ? description : e) + ")";
        return c;
    }

    // Heard in running time, the clicks' own clock: a sample's moment is its
    // buffer's time.
    const long long wanted =
        static_cast<long long>(kCalibrationClicks + 1) * kCalibrationIntervalMs * kVoiceRate / 1000;
    std::vector<float> heard;
    long long firstMs = -1;
    GstAppSink* app = GST_APP_SINK(sink);
    while (static_cast<long long>(heard.size()) < wanted) {
        GstSample* sample = gst_app_sink_try_pull_sample(app, 2 * GST_SECOND);
        if (!sample) {
            c.problem = busError(pipeline.get());
            if (c.problem.empty() && !gst_app_sink_is_eos(app))
                c.problem = "the microphone gives no sound";
            break;
        }
        const bool first = heard.empty();
        const long long at = takeSamples(sample, heard);
        if (first) firstMs = std::max(0LL, at);
    }
    gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    if (!c.problem.empty()) return c;

    std::vector<int> onsets = clickOnsets(heard, kVoiceRate);
    for (int& o : onsets) o += static_cast<int>(std::max(0LL, firstMs));
    std::vector<int> clicks;
    for (int k = 0; k < kCalibrationClicks; ++k) clicks.push_back(k * kCalibrationIntervalMs);
    for (int click : clicks)
        c.heard += std::any_of(onsets.begin(), onsets.end(),
                               [&](int o) { return o >= click && o - click <= kLatestClickMs; });
    c.delayMs = measuredDelay(clicks, onsets);
    if (!c.delayMs)
        c.problem = "too few clicks were heard back: is the microphone near the speakers?";
    return c;
}

}  // namespace orba
