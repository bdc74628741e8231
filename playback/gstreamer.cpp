#include "playback/gstreamer.h"

#include <gst/gst.h>

#include <initializer_list>

#include "platform/startuptrace.h"

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
    startupMark("gstreamer-started");
    for (const char* name :
         {"coreelements", "playback", "typefindfunctions", "audioconvert", "audioresample",
          "audiofx", "volume", "id3demux", "audioparsers", "mpg123"}) {
        // A plugin that is not installed is the open's to report.
        if (GstPlugin* plugin = gst_plugin_load_by_name(name)) gst_object_unref(plugin);
    }
    // Choosing a song's demuxer, parser and decoder matches its caps against
    // every decoding element's inputs, which the registry keeps as text until
    // first asked for; asking here parses them off the open's path.
    GList* decoding = gst_element_factory_list_get_elements(GST_ELEMENT_FACTORY_TYPE_DECODABLE,
                                                            GST_RANK_MARGINAL);
    GstCaps* mpeg = gst_caps_from_string("audio/mpeg, mpegversion=(int)1");
    GList* fit = gst_element_factory_list_filter(decoding, mpeg, GST_PAD_SINK, FALSE);
    gst_plugin_feature_list_free(fit);
    gst_caps_unref(mpeg);
    gst_plugin_feature_list_free(decoding);
    GList* finders = gst_type_find_factory_get_list();
    for (GList* f = finders; f; f = f->next)
        gst_type_find_factory_get_caps(GST_TYPE_FIND_FACTORY(f->data));
    gst_plugin_feature_list_free(finders);
    startupMark("gstreamer-ready");
}

}  // namespace orba
