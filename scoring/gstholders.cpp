#include "scoring/gstholders.h"

#include "scoring/pitchtracker.h"

namespace orba {

GstCaps* voiceCaps() {
    return gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "channels",
                               G_TYPE_INT, 1, "rate", G_TYPE_INT, kVoiceRate, "layout",
                               G_TYPE_STRING, "interleaved", nullptr);
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
