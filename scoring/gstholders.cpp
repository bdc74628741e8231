#include "scoring/gstholders.h"

#include <cstring>

#include "scoring/pitchtracker.h"

namespace orba {

GstCaps* voiceCaps() {
    return gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "channels",
                               G_TYPE_INT, 1, "rate", G_TYPE_INT, kVoiceRate, "layout",
                               G_TYPE_STRING, "interleaved", nullptr);
}

long long takeSamples(GstSample* sample, std::vector<float>& out) {
    long long ms = -1;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstMapInfo map;
    if (buffer && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
        if (GST_BUFFER_PTS_IS_VALID(buffer))
            ms = static_cast<long long>(GST_BUFFER_PTS(buffer) / GST_MSECOND);
        const std::size_t n = map.size / sizeof(float);
        const std::size_t at = out.size();
        out.resize(at + n);
        std::memcpy(out.data() + at, map.data, n * sizeof(float));
        gst_buffer_unmap(buffer, &map);
    }
    gst_sample_unref(sample);
    return ms;
}

std::string busError(GstElement* pipeline) {
    GstBus* bus = gst_element_get_bus(pipeline);
    std::string text;
    while (GstMessage* m = gst_bus_pop_filtered(bus, GST_MESSAGE_ERROR)) {
        GError* error = nullptr;
        gst_message_parse_error(m, &error, nullptr);
        if (text.empty() && error) text = error->message;
        if (error) g_error_free(error);
        gst_message_unref(m);
    }
    gst_object_unref(bus);
    return text;
}

}  // namespace orba
