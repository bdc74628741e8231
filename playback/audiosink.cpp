#include "playback/audiosink.h"

#include <cstdlib>
#include <cstring>

#include "platform/mixer.h"

namespace orba {

namespace {
constexpr const char* kFakeSinkName = "orba-fake-audio-sink";
}

GstElement* makeAudioSink() {
    const char* description = std::getenv("ORBAKARAOKE_AUDIO_SINK");
    if (description && *description) {
        GError* error = nullptr;
        GstElement* sink = gst_parse_bin_from_description_full(
            description, TRUE, nullptr,
            static_cast<GstParseFlags>(GST_PARSE_FLAG_NO_SINGLE_ELEMENT_BINS |
                                       GST_PARSE_FLAG_FATAL_ERRORS),
            &error);
        if (error) g_error_free(error);
        if (sink) return sink;
    }
    quietSoundLibraryDiagnostics();
    if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr)) return sink;
    return makeTimeKeepingFakeSink();
}

GstElement* makeTimeKeepingFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", kFakeSinkName);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

bool isTimeKeepingFakeSink(GstElement* sink) {
    gchar* name = gst_object_get_name(GST_OBJECT(sink));
    bool fake = name && std::strcmp(name, kFakeSinkName) == 0;
    g_free(name);
    return fake;
}

}  // namespace orba
