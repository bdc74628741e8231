#include "playback/matroskalyrics.h"

#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <filesystem>
#include <memory>

#include "playback/gstreamer.h"

namespace orba {

namespace {

constexpr GstClockTime kDiscoverTimeout = 3 * GST_SECOND;

template <typename T>
struct GObjectUnref {
    void operator()(T* p) const {
        if (p) g_object_unref(p);
    }
};

}  // namespace

std::string readMatroskaLyrics(const std::string& musicFile) {
    if (!initGStreamer()) return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(musicFile, ec);
    if (ec) return {};
    std::unique_ptr<gchar, decltype(&g_free)> uri(gst_filename_to_uri(absolute.c_str(), nullptr),
                                                  &g_free);
    if (!uri) return {};
    std::unique_ptr<GstDiscoverer, GObjectUnref<GstDiscoverer>> discoverer(
        gst_discoverer_new(kDiscoverTimeout, nullptr));
    if (!discoverer) return {};
    std::unique_ptr<GstDiscovererInfo, GObjectUnref<GstDiscovererInfo>> info(
        gst_discoverer_discover_uri(discoverer.get(), uri.get(), nullptr));
    if (!info) return {};
    const GstTagList* tags = gst_discoverer_info_get_tags(info.get());
    // Peeked, not duplicated: the one copy is the returned string.
    const gchar* text = nullptr;
    if (!tags || !gst_tag_list_peek_string_index(tags, GST_TAG_LYRICS, 0, &text) || !text)
        return {};
    return text;
}

}  // namespace orba
