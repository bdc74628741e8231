#include "playback/gstreamer.h"

#include <gst/gst.h>

#include <initializer_list>

namespace orba {

namespace {

// MP3 goes to mpg123's decoder: the libav plugin's decoder of the same rank
// would win by its name and load some 170 libraries with it, most of a
// song's opening time.
void preferMpg123Decoder() {
    if (GstPluginFeature* mpg123 =
            gst_registry_lookup_feature(gst_registry_get(), "mpg123audiodec")) {
        gst_plugin_feature_set_rank(mpg123, GST_RANK_PRIMARY);
        gst_object_unref(mpg123);
    }
}

}  // namespace

bool initGStreamer() {
    static const bool ok = [] {
        GError* error = nullptr;
        const bool done = gst_init_check(nullptr, nullptr, &error);
        if (error) g_error_free(error);
        if (done) preferMpg123Decoder();
        return done;
    }();
    return ok;
}

void preloadPlaybackPlugins() {
    if (!initGStreamer()) return;
    for (const char* name : {"coreelements", "playback", "typefindfunctions", "audioconvert",
                             "audioresample", "audiofx", "volume", "id3demux", "audioparsers",
                             "mpg123"}) {
        // A plugin that is not installed is the open's to report.
        if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
    }
}

}  // namespace orba
