#include "export/videoexport.h"

#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <memory>

#include "export/audiofeed.h"
#include "export/i420converter.h"
#include "export/outputfile.h"
#include "playback/gstreamer.h"

namespace orba {

namespace {

using Clock = std::chrono::steady_clock;

// Frames waiting for the encoder: enough to keep the encoders fed
// while the next frame is drawn, few enough to hold little memory.
constexpr int kQueuedFrames = 4;
constexpr std::size_t kAudioBlockFrames = 1024;
// How often a wait for the encoders looks at the cancel flag and the bus.
constexpr GstClockTime kWaitStep = 2 * GST_MSECOND;
constexpr GstClockTime kEndWaitStep = 50 * GST_MSECOND;

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

struct GstUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
template <class T>
using GstPtr = std::unique_ptr<T, GstUnref>;

bool hasElement(const char* name) {
    GstElementFactory* factory = gst_element_factory_find(name);
    if (!factory) return false;
    gst_object_unref(factory);
    return true;
}

std::string missing(const char* what, const EncoderChoice& choice) {
    return std::string("the ") + what + " " + choice.element +
           " is not installed (it comes with the package " + choice.package + ")";
}

// Settings that keep a 720p H.264 export well ahead of real time on two
// cores while the frames are drawn beside it, at a quality that keeps the
// sharp edges of the lyrics.
std::string videoEncoder(const std::string& element, const ExportJob& job) {
    const std::string keyFrames = std::to_string(job.fps * 2);
    if (element == "x264enc")
        return "x264enc speed-preset=veryfast pass=qual quantizer=20 key-int-max=" + keyFrames +
               " ! h264parse";
    // About 0.15 bits a pixel: the bitrate the pictures and wipes need.
    const long long kbps = std::max<long long>(
        500, static_cast<long long>(job.width) * job.height * job.fps * 15 / 100 / 1000);
    const std::string common = " deadline=1 cpu-used=8 threads=2 end-usage=vbr target-bitrate=" +
                               std::to_string(kbps * 1000) + " keyframe-max-dist=" + keyFrames;
    if (element == "vp9enc") return "vp9enc row-mt=true" + common;
    return element + common;
}

I420Layout i420Layout(const GstVideoInfo& info) {
    I420Layout l;
    l.width = static_cast<int>(GST_VIDEO_INFO_WIDTH(&info));
    l.height = static_cast<int>(GST_VIDEO_INFO_HEIGHT(&info));
    l.strideY = static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 0));
    l.strideU = static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 1));
    l.strideV = static_cast<std::size_t>(GST_VIDEO_INFO_PLANE_STRIDE(&info, 2));
    l.offsetU = GST_VIDEO_INFO_PLANE_OFFSET(&info, 1);
    l.offsetV = GST_VIDEO_INFO_PLANE_OFFSET(&info, 2);
    l.size = GST_VIDEO_INFO_SIZE(&info);
    return l;
}

std::string audioEncoder(const std::string& element) {
    if (element == "avenc_aac") return "avenc_aac bitrate=192000";
    if (element == "opusenc") return "opusenc bitrate=128000";
    return element;
}

std::string muxer(const std::string& element) {
    // The index first, so that a player can start before the whole file is there.
    if (element == "mp4mux") return "mp4mux faststart=true";
    return element;
}

// Feeds the audio appsrc from its own streaming thread: exactly the samples
// of [from, to), the song's sound padded with silence where it ends early,
// time-stamped by the sample count so that sound and picture cannot drift.
struct AudioPump {
    AudioFeed* feed = nullptr;
    int rate = 0;
    std::uint64_t total = 0;
    std::uint64_t written = 0;
    std::uint64_t skip = 0;  // the encoder's priming, left out at the start
    bool sourceEnded = false;
    bool ended = false;
    std::atomic<bool> stop{false};

    static void needData(GstAppSrc* src, guint, gpointer data) {
        auto* p = static_cast<AudioPump*>(data);
        if (p->ended) return;
        float scratch[kAudioBlockFrames * AudioFeed::kChannels];
        while (p->skip > 0 && !p->sourceEnded) {
            const std::size_t n = p->feed->read(
                scratch,
                static_cast<std::size_t>(std::min<std::uint64_t>(p->skip, kAudioBlockFrames)));
            if (n == 0) p->sourceEnded = true;
            p->skip -= std::min<std::uint64_t>(n, p->skip);
        }
        if (p->written >= p->total || p->stop) {
            p->ended = true;
            gst_app_src_end_of_stream(src);
            return;
        }
        const std::size_t block = static_cast<std::size_t>(
            std::min<std::uint64_t>(kAudioBlockFrames, p->total - p->written));
        const std::size_t bytes = block * AudioFeed::kChannels * sizeof(float);
        GstBuffer* buffer = gst_buffer_new_allocate(nullptr, bytes, nullptr);
        GstMapInfo map;
        gst_buffer_map(buffer, &map, GST_MAP_WRITE);
        auto* out = reinterpret_cast<float*>(map.data);
        std::size_t got = 0;
        while (!p->sourceEnded && got < block) {
            const std::size_t n = p->feed->read(out + got * AudioFeed::kChannels, block - got);
            if (n == 0) p->sourceEnded = true;
            got += n;
        }
        std::memset(out + got * AudioFeed::kChannels, 0,
                    (block - got) * AudioFeed::kChannels * sizeof(float));
        gst_buffer_unmap(buffer, &map);
        GST_BUFFER_PTS(buffer) = gst_util_uint64_scale_int(p->written, GST_SECOND, p->rate);
        GST_BUFFER_DURATION(buffer) =
            gst_util_uint64_scale_int(p->written + block, GST_SECOND, p->rate) -
            GST_BUFFER_PTS(buffer);
        p->written += block;
        gst_app_src_push_buffer(src, buffer);
    }
};

// One export, from building the pipeline to the renamed file.
class Export {
public:
    Export(const ExportJob& job, const std::atomic<bool>& cancel) : m_job(job), m_cancel(cancel) {}
    ~Export() { teardown(); }

    ExportResult run(ExportFrameSource& source, const ExportProgressFn& progress);

private:
    bool fail(std::string text) {
        if (m_error.empty()) m_error = std::move(text);
        return false;
    }
    bool checkJob();
    bool openOutput();
    bool build();
    bool pushFrames(ExportFrameSource& source, const ExportProgressFn& progress);
    bool finish();
    void releaseLast();
    // Reads the bus for up to `wait`; false once the export has to stop.
    bool poll(GstClockTime wait);
    bool handle(GstMessage* msg);
    void teardown();

    const ExportJob& m_job;
    const std::atomic<bool>& m_cancel;
    OutputFile m_output;
    std::unique_ptr<AudioFeed> m_feed;
    AudioPump m_pump;
    GstPtr<GstElement> m_pipeline;
    GstPtr<GstElement> m_video;
    GstPtr<GstBufferPool> m_frames;
    gsize m_frameBytes = 0;
    std::unique_ptr<I420Converter> m_converter;
    // The frame pushed last, mapped: the converter copies unchanged rows from it.
    GstBuffer* m_last = nullptr;
    GstMapInfo m_lastMap = {};
    GstPtr<GstElement> m_file;
    GstPtr<GstBus> m_bus;
    bool m_eos = false;
    bool m_cancelled = false;
    std::string m_error;
    ExportTimings m_timings;
    Clock::time_point m_started = Clock::now();
};

bool Export::checkJob() {
    const ExportJob& j = m_job;
    if (std::string problem = videoSizeError(j.width, j.height); !problem.empty())
        return fail(problem);
    if (j.fps < 1 || j.fps > 120) return fail("the frame rate must be from 1 to 120");
    if (j.fromMs < 0 || j.toMs <= j.fromMs)
        return fail("nothing to export: the end (" + std::to_string(j.toMs) +
                    " ms) is not after the start (" + std::to_string(j.fromMs) + " ms)");
    return true;
}

bool Export::openOutput() {
    std::string problem = m_output.open(m_job.outFile, m_job.inputs, m_job.overwrite);
    return problem.empty() || fail(std::move(problem));
}

bool Export::build() {
    if (!initGStreamer()) return fail("GStreamer cannot start");
    const EncodingPlan& plan = m_job.plan;
    std::string video = plan.video.element;
    if (!hasElement(plan.video.element)) {
        if (!plan.videoFallback || !hasElement(plan.videoFallback->element))
            return fail(missing("video encoder", plan.video));
        video = plan.videoFallback->element;
    }
    if (!hasElement(plan.audio.element)) return fail(missing("audio encoder", plan.audio));
    if (!hasElement(plan.muxer.element)) return fail(missing("muxer", plan.muxer));

    std::string problem;
    m_feed = makeAudioFeed(m_job.audio, m_job.fromMs, problem);
    if (!m_feed) return fail(problem);

    // The frames come converted to I420 already (see I420Converter); the
    // encoder runs on the source's streaming thread.
    const std::string description = "appsrc name=video ! " + videoEncoder(video, m_job) +
                                    " ! queue ! mux. "
                                    "appsrc name=audio ! audioconvert ! audioresample ! " +
                                    audioEncoder(plan.audio.element) + " ! queue ! mux. " +
                                    muxer(plan.muxer.element) + " name=mux ! fdsink name=file";
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    const std::string reason = error && error->message ? error->message : "";
    if (error) g_error_free(error);
    if (!pipeline) return fail("GStreamer cannot build the encoder (" + reason + ")");
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(pipeline)));
    // Nothing here plays in real time: without a clock every element runs
    // as fast as its input comes.
    gst_pipeline_use_clock(GST_PIPELINE(pipeline), nullptr);
    m_bus.reset(gst_element_get_bus(pipeline));
    m_video.reset(gst_bin_get_by_name(GST_BIN(pipeline), "video"));
    m_file.reset(gst_bin_get_by_name(GST_BIN(pipeline), "file"));
    // The sink writes into the file we created, and never opens a name itself.
    g_object_set(m_file.get(), "fd", m_output.descriptor(), nullptr);

    // The colorimetry that the pipeline's converter chose when the caps named
    // none (BT.709 at HD sizes, BT.601 below), written into the caps.
    GstVideoInfo info;
    gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, static_cast<guint>(m_job.width),
                              static_cast<guint>(m_job.height));
    info.fps_n = m_job.fps;
    info.fps_d = 1;
    gdouble kr = 0, kb = 0;
    if (!gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb))
        return fail("GStreamer has no colour matrix for the video");
    m_converter = std::make_unique<I420Converter>(
        i420Layout(info), yuvMatrix(kr, kb, info.colorimetry.range != GST_VIDEO_COLOR_RANGE_0_255,
                                    (info.chroma_site & GST_VIDEO_CHROMA_SITE_H_COSITED) != 0));
    m_frameBytes = info.size;
    const guint64 frameBytes = m_frameBytes;
    GstCaps* caps = gst_video_info_to_caps(&info);
    g_object_set(m_video.get(), "caps", caps, "format", GST_FORMAT_TIME, "is-live", FALSE,
                 "max-bytes", frameBytes * kQueuedFrames, nullptr);
    // Frame memory comes back to the pool once encoded, instead of being
    // mapped afresh (and faulted in page by page) for every frame.
    m_frames.reset(gst_buffer_pool_new());
    GstStructure* config = gst_buffer_pool_get_config(m_frames.get());
    gst_buffer_pool_config_set_params(config, caps, static_cast<guint>(frameBytes),
                                      kQueuedFrames + 2, 0);
    if (!gst_buffer_pool_set_config(m_frames.get(), config) ||
        !gst_buffer_pool_set_active(m_frames.get(), TRUE))
        return fail("GStreamer cannot hold the frames");
    gst_caps_unref(caps);

    GstElement* audio = gst_bin_get_by_name(GST_BIN(pipeline), "audio");
    m_pump.feed = m_feed.get();
    m_pump.rate = m_feed->sampleRate();
    m_pump.total = static_cast<std::uint64_t>(m_job.toMs - m_job.fromMs) *
                   static_cast<std::uint64_t>(m_pump.rate) / 1000;
    m_pump.skip = static_cast<std::uint64_t>(plan.audioPrimingSamples);
    caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, "F32LE", "layout",
                               G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT, m_pump.rate,
                               "channels", G_TYPE_INT, AudioFeed::kChannels, nullptr);
    g_object_set(audio, "caps", caps, "format", GST_FORMAT_TIME, "is-live", FALSE, nullptr);
    gst_caps_unref(caps);
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = &AudioPump::needData;
    gst_app_src_set_callbacks(GST_APP_SRC(audio), &callbacks, &m_pump, nullptr);
    gst_object_unref(audio);

    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        poll(0);
        return fail("GStreamer cannot start the encoder");
    }
    return poll(0);
}

bool Export::handle(GstMessage* msg) {
    if (GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS) {
        m_eos = true;
        return true;
    }
    if (GST_MESSAGE_TYPE(msg) != GST_MESSAGE_ERROR) return true;
    GError* error = nullptr;
    gst_message_parse_error(msg, &error, nullptr);
    const std::string text = error && error->message ? error->message : "unknown error";
    if (error) g_error_free(error);
    if (GST_MESSAGE_SRC(msg) == GST_OBJECT(m_file.get()))
        return fail("cannot write " + m_job.outFile + ": " + text);
    gchar* name = gst_object_get_name(GST_MESSAGE_SRC(msg));
    const std::string where = name ? name : "?";
    g_free(name);
    return fail("the encoder failed (" + where + "): " + text);
}

bool Export::poll(GstClockTime wait) {
    if (m_cancel) {
        m_cancelled = true;
        return fail("the export was cancelled");
    }
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_EOS);
    GstMessage* msg = wait ? gst_bus_timed_pop_filtered(m_bus.get(), wait, types)
                           : gst_bus_pop_filtered(m_bus.get(), types);
    while (msg) {
        const bool ok = handle(msg);
        gst_message_unref(msg);
        if (!ok) return false;
        msg = gst_bus_pop_filtered(m_bus.get(), types);
    }
    if (std::string problem = m_feed->error(); !problem.empty()) return fail(problem);
    return true;
}

bool Export::pushFrames(ExportFrameSource& source, const ExportProgressFn& progress) {
    const ExportJob& j = m_job;
    const long long frames = frameCount(j.fromMs, j.toMs, j.fps);
    Bitmap back(j.width, j.height);
    const gsize frameBytes = m_frameBytes;
    const guint64 room = frameBytes * (kQueuedFrames - 1);
    GstAppSrc* src = GST_APP_SRC(m_video.get());
    for (long long k = 0; k < frames; ++k) {
        if (!poll(0)) return false;
        const int songMs = frameSongMs(j.fromMs, k, j.fps);
        Clock::time_point t = Clock::now();
        source.drawFrame(songMs, back);
        m_timings.drawing += secondsSince(t);

        t = Clock::now();
        const QImage& image = back.image();
        if (image.width() != j.width || image.height() != j.height)
            return fail("the frame source drew a frame of another size");
        GstBuffer* buffer = nullptr;
        if (gst_buffer_pool_acquire_buffer(m_frames.get(), &buffer, nullptr) != GST_FLOW_OK)
            return fail("GStreamer cannot hold the frames");
        GST_BUFFER_PTS(buffer) =
            gst_util_uint64_scale_int(static_cast<guint64>(k), GST_SECOND, j.fps);
        GST_BUFFER_DURATION(buffer) =
            gst_util_uint64_scale_int(static_cast<guint64>(k + 1), GST_SECOND, j.fps) -
            GST_BUFFER_PTS(buffer);
        // Straight into the encoder's buffer, the unchanged rows taken from
        // the frame before, which stays mapped until this one replaces it.
        GstMapInfo map;
        if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
            gst_buffer_unref(buffer);
            return fail("GStreamer cannot hold the frames");
        }
        m_timings.rowPairsChanged +=
            m_converter->convert(image.constBits(), static_cast<std::size_t>(image.bytesPerLine()),
                                 map.data, m_last ? m_lastMap.data : nullptr);
        m_timings.rowPairs += (j.height + 1) / 2;
        gst_buffer_unmap(buffer, &map);
        releaseLast();
        if (gst_buffer_map(buffer, &m_lastMap, GST_MAP_READ)) m_last = gst_buffer_ref(buffer);
        m_timings.converting += secondsSince(t);

        t = Clock::now();
        while (gst_app_src_get_current_level_bytes(src) > room)
            if (!poll(kWaitStep)) {
                gst_buffer_unref(buffer);
                return false;
            }
        m_timings.waiting += secondsSince(t);
        if (gst_app_src_push_buffer(src, buffer) != GST_FLOW_OK) {
            poll(0);
            return fail("the encoder stopped taking frames");
        }
        if (progress) progress({k + 1, frames, j.fps, secondsSince(m_started)});
    }
    gst_app_src_end_of_stream(src);
    return true;
}

bool Export::finish() {
    while (!m_eos)
        if (!poll(kEndWaitStep)) return false;
    teardown();
    std::string problem = m_output.commit();
    return problem.empty() || fail(std::move(problem));
}

void Export::releaseLast() {
    if (!m_last) return;
    gst_buffer_unmap(m_last, &m_lastMap);
    gst_buffer_unref(m_last);
    m_last = nullptr;
}

void Export::teardown() {
    releaseLast();
    m_pump.stop = true;
    if (m_feed) m_feed->stop();
    if (m_pipeline) gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    m_bus.reset();
    m_file.reset();
    m_video.reset();
    m_pipeline.reset();
    if (m_frames) gst_buffer_pool_set_active(m_frames.get(), FALSE);
    m_frames.reset();
}

ExportResult Export::run(ExportFrameSource& source, const ExportProgressFn& progress) {
    const bool ok =
        checkJob() && openOutput() && build() && pushFrames(source, progress) && finish();
    teardown();
    if (!ok) m_output.discard();
    m_timings.total = secondsSince(m_started);
    ExportResult r;
    r.ok = ok;
    r.cancelled = m_cancelled;
    r.outputExists = !ok && m_output.refusedAsExisting();
    r.error = ok ? std::string() : m_error;
    r.timings = m_timings;
    return r;
}

}  // namespace

ExportResult exportVideo(const ExportJob& job, ExportFrameSource& source,
                         const ExportProgressFn& progress, const std::atomic<bool>& cancel) {
    Export e(job, cancel);
    return e.run(source, progress);
}

}  // namespace orba
