#include "playback/internal/videodecoder.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <atomic>
#include <chrono>
#include <mutex>

#include "playback/gstreamer.h"
#include "playback/internal/gstpipeline.h"

namespace orba {

namespace {

// Opening waits at most this long for the first picture, as long as the
// media device waits for the sound (the first video of a run loads the
// decoders' libraries; a demuxer that fails while the decoding bin is still
// trying it may leave no error behind: an MP4 cut before its index does); a
// pull that gets nothing for this long ends the stream rather than stand
// still.
constexpr int kOpenTimeoutMs = 8000;
constexpr int kPullTimeoutMs = 5000;

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template <class T>
using GstPtr = std::unique_ptr<T, GstObjectUnref>;

// What a picture's pixels are kept alive by while a bitmap shows them: the
// buffer alone, never the sample, which the sink reuses once it is free.
struct MappedBuffer {
    GstBuffer* buffer = nullptr;
    GstMapInfo map{};
};

void releaseBuffer(void* info) {
    auto* m = static_cast<MappedBuffer*>(info);
    gst_buffer_unmap(m->buffer, &m->map);
    gst_buffer_unref(m->buffer);
    delete m;
}

int nsToMs(guint64 ns) {
    return static_cast<int>(ns / GST_MSECOND);
}

}  // namespace

struct VideoDecoder::Impl {
    ~Impl() { close(); }
    void close();
    void setSize(int width, int height);
    // The bus's news so far; false when the pipeline failed.
    bool drainBus();
    void takeMessage(GstMessage* msg);
    static void onPadAdded(GstElement* decodebin, GstPad* pad, gpointer self);
    static void onNoMorePads(GstElement* decodebin, gpointer self);
    static gboolean onAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer);
    void linkPicture(GstPad* pad, GstCaps* caps);
    void linkToNowhere(GstPad* pad);

    GstPtr<GstElement> pipeline;
    GstPtr<GstBus> bus;
    GstElement* capsfilter = nullptr;  // owned by the pipeline
    GstElement* sink = nullptr;        // owned by the pipeline

    // Written by the streaming thread while the pipeline opens.
    std::mutex mutex;
    bool pictureLinked = false;
    bool pictureUnreadable = false;  // a picture stream no decoder could open
    bool soundFound = false;
    bool allPads = false;
    int width = 0, height = 0;
    int parN = 1, parD = 1;

    int outWidth = 0, outHeight = 0;
    std::string error;
    std::string missing;  // the plugins missing, as GStreamer describes them
    bool failed = false;
    bool prerolled = false;
};

namespace {

// One thread a decoder: a karaoke video decodes several times faster than
// it plays on a single core, and the frame threads of a libav decoder cost
// a tenth more in all for a speed the frame does not need.
void decodeOnOneThread(GstBin*, GstBin*, GstElement* element, gpointer) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "max-threads"))
        g_object_set(element, "max-threads", 1, nullptr);
}

}  // namespace

void VideoDecoder::Impl::close() {
    if (pipeline) gst_element_set_state(pipeline.get(), GST_STATE_NULL);
    bus.reset();
    pipeline.reset();
    capsfilter = nullptr;
    sink = nullptr;
}

void VideoDecoder::Impl::setSize(int w, int h) {
    outWidth = w;
    outHeight = h;
    if (!capsfilter) return;
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx",
                                        "pixel-aspect-ratio", GST_TYPE_FRACTION, 1, 1, nullptr);
    if (w > 0 && h > 0)
        gst_caps_set_simple(caps, "width", G_TYPE_INT, w, "height", G_TYPE_INT, h, nullptr);
    g_object_set(capsfilter, "caps", caps, nullptr);
    gst_caps_unref(caps);
}

gboolean VideoDecoder::Impl::onAutoplugContinue(GstElement*, GstPad*, GstCaps* caps, gpointer) {
    // The sound is the media device's: decoding it here would be wasted.
    const GstStructure* s = gst_caps_get_structure(caps, 0);
    return s && g_str_has_prefix(gst_structure_get_name(s), "audio/") ? FALSE : TRUE;
}

void VideoDecoder::Impl::onPadAdded(GstElement*, GstPad* pad, gpointer self) {
    auto* d = static_cast<Impl*>(self);
    GstCaps* caps = gst_pad_get_current_caps(pad);
    if (!caps) caps = gst_pad_query_caps(pad, nullptr);
    const GstStructure* s = caps ? gst_caps_get_structure(caps, 0) : nullptr;
    const char* name = s ? gst_structure_get_name(s) : "";
    bool linked = false;
    {
        std::lock_guard lock(d->mutex);
        if (g_str_has_prefix(name, "audio/")) d->soundFound = true;
        if (g_str_has_prefix(name, "video/") && !d->pictureLinked) {
            if (g_str_equal(name, "video/x-raw")) {
                d->pictureLinked = true;
                gst_structure_get_int(s, "width", &d->width);
                gst_structure_get_int(s, "height", &d->height);
                if (!gst_structure_get_fraction(s, "pixel-aspect-ratio", &d->parN, &d->parD) ||
                    d->parN <= 0 || d->parD <= 0)
                    d->parN = d->parD = 1;
                linked = true;
            } else {
                d->pictureUnreadable = true;
            }
        }
    }
    if (linked)
        d->linkPicture(pad, caps);
    else
        d->linkToNowhere(pad);
    if (caps) gst_caps_unref(caps);
}

void VideoDecoder::Impl::onNoMorePads(GstElement*, gpointer self) {
    auto* d = static_cast<Impl*>(self);
    std::lock_guard lock(d->mutex);
    d->allPads = true;
}

void VideoDecoder::Impl::linkPicture(GstPad* pad, GstCaps*) {
    GstElement* convertIn = gst_element_factory_make("videoconvert", nullptr);
    GstElement* scale = gst_element_factory_make("videoscale", nullptr);
    GstElement* convert = gst_element_factory_make("videoconvert", nullptr);
    GstElement* filter = gst_element_factory_make("capsfilter", nullptr);
    GstElement* appsink = gst_element_factory_make("appsink", nullptr);
    if (!convertIn || !scale || !convert || !filter || !appsink) {
        for (GstElement* e : {convertIn, scale, convert, filter, appsink})
            if (e) gst_object_unref(gst_object_ref_sink(e));
        std::lock_guard lock(mutex);
        missing = "videoconvert, videoscale or appsink";
        return;
    }
    // The size asked for is the size drawn: the frame copies without
    // stretching, and the bars of the aspect are the frame's to fill.
    g_object_set(scale, "add-borders", FALSE, nullptr);
    // Scaled before converted: fewer bytes a pixel to scale.
    g_object_set(appsink, "sync", FALSE, "max-buffers", 2u, "drop", FALSE, "enable-last-sample",
                 FALSE, nullptr);
    gst_bin_add_many(GST_BIN(pipeline.get()), convertIn, scale, convert, filter, appsink, nullptr);
    capsfilter = filter;
    sink = appsink;
    setSize(outWidth, outHeight);
    gst_element_link_many(convertIn, scale, convert, filter, appsink, nullptr);
    for (GstElement* e : {appsink, filter, convert, scale, convertIn})
        gst_element_sync_state_with_parent(e);
    GstPad* in = gst_element_get_static_pad(convertIn, "sink");
    gst_pad_link(pad, in);
    gst_object_unref(in);
}

void VideoDecoder::Impl::linkToNowhere(GstPad* pad) {
    GstElement* nowhere = gst_element_factory_make("fakesink", nullptr);
    if (!nowhere) return;
    g_object_set(nowhere, "sync", FALSE, "async", FALSE, nullptr);
    gst_bin_add(GST_BIN(pipeline.get()), nowhere);
    gst_element_sync_state_with_parent(nowhere);
    GstPad* in = gst_element_get_static_pad(nowhere, "sink");
    gst_pad_link(pad, in);
    gst_object_unref(in);
}

void VideoDecoder::Impl::takeMessage(GstMessage* msg) {
    switch (GST_MESSAGE_TYPE(msg)) {
        case GST_MESSAGE_ERROR: {
            GError* e = nullptr;
            gst_message_parse_error(msg, &e, nullptr);
            if (!failed && e && e->message) error = e->message;
            if (e) g_error_free(e);
            failed = true;
            break;
        }
        case GST_MESSAGE_ELEMENT: {
            std::lock_guard lock(mutex);
            noteMissingPlugin(msg, missing);
            break;
        }
        case GST_MESSAGE_ASYNC_DONE:
            prerolled = true;
            break;
        default:
            break;
    }
}

bool VideoDecoder::Impl::drainBus() {
    while (GstMessage* msg = gst_bus_pop(bus.get())) {
        takeMessage(msg);
        gst_message_unref(msg);
    }
    return !failed;
}

VideoDecoder::VideoDecoder() : m_impl(std::make_unique<Impl>()) {}
VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::open(const std::string& path, int width, int height) {
    Impl& d = *m_impl;
    auto refuse = [&](std::string why) {
        m_problem = std::move(why);
        d.close();
        return false;
    };
    if (!initGStreamer()) return refuse("GStreamer cannot start");
    GstElement* pipeline = gst_pipeline_new(nullptr);
    GstElement* source = gst_element_factory_make("uridecodebin", nullptr);
    if (!pipeline || !source) {
        if (pipeline) gst_object_unref(pipeline);
        if (source) gst_object_unref(gst_object_ref_sink(source));
        return refuse("the GStreamer plugin uridecodebin is missing");
    }
    d.pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    GError* error = nullptr;
    gchar* uri = gst_filename_to_uri(path.c_str(), &error);
    if (error) g_error_free(error);
    if (!uri) return refuse("not a file name");
    g_object_set(source, "uri", uri, nullptr);
    g_free(uri);
    g_signal_connect(source, "pad-added", G_CALLBACK(&Impl::onPadAdded), &d);
    g_signal_connect(source, "no-more-pads", G_CALLBACK(&Impl::onNoMorePads), &d);
    g_signal_connect(source, "autoplug-continue", G_CALLBACK(&Impl::onAutoplugContinue), &d);
    g_signal_connect(pipeline, "deep-element-added", G_CALLBACK(&decodeOnOneThread), nullptr);
    gst_bin_add(GST_BIN(pipeline), source);
    d.bus.reset(gst_element_get_bus(pipeline));
    d.outWidth = width;
    d.outHeight = height;

    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
    if (gst_element_set_state(pipeline, GST_STATE_PAUSED) == GST_STATE_CHANGE_FAILURE)
        d.failed = true;
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE |
                                                   GST_MESSAGE_ELEMENT);
    while (!d.failed && !d.prerolled) {
        const auto left =
            std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        if (GstMessage* msg = gst_bus_timed_pop_filtered(d.bus.get(), left.count(), types)) {
            d.takeMessage(msg);
            gst_message_unref(msg);
        }
    }
    d.drainBus();
    bool picture = false, unreadable = false;
    std::string missing;
    {
        std::lock_guard lock(d.mutex);
        picture = d.pictureLinked;
        unreadable = d.pictureUnreadable;
        missing = d.missing;
        if (!d.soundFound && (d.prerolled || d.allPads)) m_note = "the video has no sound";
    }
    if (!missing.empty() && picture)
        m_note += (m_note.empty() ? "" : "; ") + ("a GStreamer plugin is missing: " + missing);
    if (!picture) {
        if (!missing.empty()) return refuse("a GStreamer plugin is missing: " + missing);
        if (unreadable) return refuse("no decoder for its pictures");
        if (d.failed && !d.prerolled)
            return refuse(d.error.empty() ? std::string("not a video GStreamer can read")
                                          : "not a video GStreamer can read (" + d.error + ")");
        if (!d.prerolled) return refuse("it did not open within 8 seconds");
        return refuse("it has no picture stream");
    }
    if (!d.prerolled)
        return refuse(d.failed ? "its pictures cannot be decoded (" + d.error + ")"
                               : "it did not open within 8 seconds");
    m_displayWidth = static_cast<int>(gint64(d.width) * d.parN / d.parD);
    m_displayHeight = d.height;
    if (m_displayWidth <= 0 || m_displayHeight <= 0) return refuse("its pictures have no size");
    gint64 ns = -1;
    if (gst_element_query_duration(pipeline, GST_FORMAT_TIME, &ns) && ns > 0)
        m_lengthMs = nsToMs(static_cast<guint64>(ns));
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        return refuse("it cannot be played");
    return true;
}

std::optional<DecodedPicture> VideoDecoder::next() {
    Impl& d = *m_impl;
    if (!d.sink || !d.drainBus()) return std::nullopt;
    using Clock = std::chrono::steady_clock;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(kPullTimeoutMs);
    GstSample* sample = nullptr;
    while (!sample) {
        sample = gst_app_sink_try_pull_sample(GST_APP_SINK(d.sink), 100 * GST_MSECOND);
        if (sample) break;
        if (gst_app_sink_is_eos(GST_APP_SINK(d.sink)) || !d.drainBus() ||
            Clock::now() >= deadline || (m_stop && *m_stop))
            return std::nullopt;
    }
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstVideoInfo info;
    GstCaps* caps = gst_sample_get_caps(sample);
    if (!buffer || !caps || !gst_video_info_from_caps(&info, caps) ||
        GST_VIDEO_INFO_FORMAT(&info) != GST_VIDEO_FORMAT_BGRx) {
        gst_sample_unref(sample);
        return std::nullopt;
    }
    DecodedPicture out;
    const GstSegment* segment = gst_sample_get_segment(sample);
    const GstClockTime pts = GST_BUFFER_PTS(buffer);
    if (GST_CLOCK_TIME_IS_VALID(pts)) {
        const guint64 at =
            segment ? gst_segment_to_stream_time(segment, GST_FORMAT_TIME, pts) : pts;
        if (GST_CLOCK_TIME_IS_VALID(at)) out.ms = nsToMs(at);
    }
    const GstClockTime duration = GST_BUFFER_DURATION(buffer);
    out.endMs = out.ms + (GST_CLOCK_TIME_IS_VALID(duration) ? std::max(1, nsToMs(duration)) : 1);
    auto* mapped = new MappedBuffer{gst_buffer_ref(buffer), {}};
    gst_sample_unref(sample);
    if (!gst_buffer_map(mapped->buffer, &mapped->map, GST_MAP_READ)) {
        gst_buffer_unref(mapped->buffer);
        delete mapped;
        return std::nullopt;
    }
    const int w = GST_VIDEO_INFO_WIDTH(&info), h = GST_VIDEO_INFO_HEIGHT(&info);
    const int stride = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
    if (mapped->map.size < static_cast<gsize>(stride) * static_cast<gsize>(h)) {
        releaseBuffer(mapped);
        return std::nullopt;
    }
    // The decoder's BGRx is the bitmaps' RGB32 byte for byte: no copy.
    const QImage image(static_cast<const uchar*>(mapped->map.data), w, h, stride,
                       QImage::Format_RGB32, &releaseBuffer, mapped);
    auto picture = std::make_shared<Bitmap>();
    picture->image() = image;
    out.picture = std::move(picture);
    return out;
}

bool VideoDecoder::seek(int ms, int width, int height) {
    Impl& d = *m_impl;
    if (!d.pipeline) return false;
    if (width != d.outWidth || height != d.outHeight) d.setSize(width, height);
    const auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_KEY_UNIT |
                                                 GST_SEEK_FLAG_SNAP_BEFORE);
    return gst_element_seek_simple(d.pipeline.get(), GST_FORMAT_TIME, flags,
                                   static_cast<gint64>(std::max(ms, 0)) * GST_MSECOND);
}

}  // namespace orba
