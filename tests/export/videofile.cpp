#include "tests/export/videofile.h"

#include <gst/app/gstappsink.h>
#include <gst/gst.h>
#include <gst/pbutils/pbutils.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace orba::test {

namespace {

std::string uriOf(const std::string& path) {
    gchar* uri = gst_filename_to_uri(path.c_str(), nullptr);
    std::string out = uri ? uri : "";
    g_free(uri);
    return out;
}

std::string codecOf(GstDiscovererStreamInfo* info) {
    GstCaps* caps = gst_discoverer_stream_info_get_caps(info);
    if (!caps) return {};
    std::string name = gst_structure_get_name(gst_caps_get_structure(caps, 0));
    gst_caps_unref(caps);
    return name;
}

// A pipeline from uridecodebin to an appsink of the given caps.
GstElement* decoder(const std::string& path, const std::string& convert) {
    GstElement* p = gst_parse_launch(
        ("uridecodebin name=d ! " + convert + " ! appsink name=out sync=false").c_str(), nullptr);
    if (!p) return nullptr;
    GstElement* d = gst_bin_get_by_name(GST_BIN(p), "d");
    g_object_set(d, "uri", uriOf(path).c_str(), nullptr);
    gst_object_unref(d);
    return p;
}

}  // namespace

std::optional<VideoFileInfo> discoverVideo(const std::string& path) {
    gst_init(nullptr, nullptr);
    GstDiscoverer* discoverer = gst_discoverer_new(20 * GST_SECOND, nullptr);
    if (!discoverer) return std::nullopt;
    GstDiscovererInfo* info = gst_discoverer_discover_uri(discoverer, uriOf(path).c_str(), nullptr);
    std::optional<VideoFileInfo> out;
    if (info && gst_discoverer_info_get_result(info) == GST_DISCOVERER_OK) {
        VideoFileInfo v;
        v.durationMs = static_cast<int>(gst_discoverer_info_get_duration(info) / GST_MSECOND);
        GList* videos = gst_discoverer_info_get_video_streams(info);
        v.videoStreams = static_cast<int>(g_list_length(videos));
        if (videos) {
            auto* s = GST_DISCOVERER_VIDEO_INFO(videos->data);
            v.width = static_cast<int>(gst_discoverer_video_info_get_width(s));
            v.height = static_cast<int>(gst_discoverer_video_info_get_height(s));
            v.fpsNum = static_cast<int>(gst_discoverer_video_info_get_framerate_num(s));
            v.fpsDen = static_cast<int>(gst_discoverer_video_info_get_framerate_denom(s));
            v.videoCodec = codecOf(GST_DISCOVERER_STREAM_INFO(s));
        }
        gst_discoverer_stream_info_list_free(videos);
        GList* audios = gst_discoverer_info_get_audio_streams(info);
        v.audioStreams = static_cast<int>(g_list_length(audios));
        if (audios) v.audioCodec = codecOf(GST_DISCOVERER_STREAM_INFO(audios->data));
        gst_discoverer_stream_info_list_free(audios);
        out = v;
    }
    if (info) gst_discoverer_info_unref(info);
    g_object_unref(discoverer);
    return out;
}

std::optional<QImage> decodeFrameAt(const std::string& path, int ms) {
    gst_init(nullptr, nullptr);
    GstElement* p = decoder(path, "videoconvert ! video/x-raw,format=BGRx");
    if (!p) return std::nullopt;
    std::optional<QImage> out;
    gst_element_set_state(p, GST_STATE_PAUSED);
    if (gst_element_get_state(p, nullptr, nullptr, 20 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS &&
        gst_element_seek_simple(
            p, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
            static_cast<gint64>(ms) * GST_MSECOND) &&
        gst_element_get_state(p, nullptr, nullptr, 20 * GST_SECOND) == GST_STATE_CHANGE_SUCCESS) {
        GstElement* sink = gst_bin_get_by_name(GST_BIN(p), "out");
        if (GstSample* sample = gst_app_sink_pull_preroll(GST_APP_SINK(sink))) {
            GstStructure* s = gst_caps_get_structure(gst_sample_get_caps(sample), 0);
            int w = 0, h = 0;
            gst_structure_get_int(s, "width", &w);
            gst_structure_get_int(s, "height", &h);
            GstMapInfo map;
            GstBuffer* buffer = gst_sample_get_buffer(sample);
            if (w > 0 && h > 0 && gst_buffer_map(buffer, &map, GST_MAP_READ)) {
                QImage image(w, h, QImage::Format_RGB32);
                for (int y = 0; y < h; ++y)
                    std::memcpy(image.scanLine(y), map.data + static_cast<std::size_t>(y) * w * 4,
                                static_cast<std::size_t>(w) * 4);
                gst_buffer_unmap(buffer, &map);
                out = image;
            }
            gst_sample_unref(sample);
        }
        gst_object_unref(sink);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(p);
    return out;
}

std::vector<float> decodeAudio(const std::string& path) {
    gst_init(nullptr, nullptr);
    GstElement* p = decoder(path,
                            "audioconvert ! audioresample ! "
                            "audio/x-raw,format=F32LE,layout=interleaved,rate=48000,channels=2");
    std::vector<float> samples;
    if (!p) return samples;
    GstElement* sink = gst_bin_get_by_name(GST_BIN(p), "out");
    gst_element_set_state(p, GST_STATE_PLAYING);
    while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 20 * GST_SECOND)) {
        GstMapInfo map;
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (gst_buffer_map(buffer, &map, GST_MAP_READ)) {
            const auto* f = reinterpret_cast<const float*>(map.data);
            samples.insert(samples.end(), f, f + map.size / sizeof(float));
            gst_buffer_unmap(buffer, &map);
        }
        gst_sample_unref(sample);
    }
    gst_element_set_state(p, GST_STATE_NULL);
    gst_object_unref(sink);
    gst_object_unref(p);
    return samples;
}

double firstLoudMs(const std::vector<float>& samples, float level) {
    for (std::size_t i = 0; i < samples.size(); ++i)
        if (std::fabs(samples[i]) > level) return static_cast<double>(i / 2) / 48.0;
    return -1;
}

double rmsBetween(const std::vector<float>& samples, int fromMs, int toMs) {
    const std::size_t first = static_cast<std::size_t>(fromMs) * 48 * 2;
    const std::size_t last = std::min(samples.size(), static_cast<std::size_t>(toMs) * 48 * 2);
    if (last <= first) return 0;
    double sum = 0;
    for (std::size_t i = first; i < last; ++i) sum += double(samples[i]) * samples[i];
    return std::sqrt(sum / double(last - first));
}

namespace {

double psnrOf(double squaredErrorSum, double count) {
    const double mse = squaredErrorSum / count;
    if (mse == 0) return 99;
    return 10 * std::log10(255.0 * 255.0 / mse);
}

double luma(std::uint32_t p) {
    return 0.2126 * ((p >> 16) & 0xff) + 0.7152 * ((p >> 8) & 0xff) + 0.0722 * (p & 0xff);
}

// The PSNR of two pictures of one size, from the squared error of each pixel
// pair and the number of samples per pixel.
template <typename PixelError>
double psnrOver(const QImage& a, const QImage& b, int samples, PixelError error) {
    if (a.size() != b.size()) return 0;
    const QImage x = a.convertToFormat(QImage::Format_RGB32);
    const QImage y = b.convertToFormat(QImage::Format_RGB32);
    double sum = 0;
    for (int row = 0; row < x.height(); ++row) {
        const auto* p = reinterpret_cast<const std::uint32_t*>(x.constScanLine(row));
        const auto* q = reinterpret_cast<const std::uint32_t*>(y.constScanLine(row));
        for (int col = 0; col < x.width(); ++col) sum += error(p[col], q[col]);
    }
    return psnrOf(sum, double(x.width()) * x.height() * samples);
}

}  // namespace

double lumaPsnr(const QImage& a, const QImage& b) {
    return psnrOver(a, b, 1, [](std::uint32_t p, std::uint32_t q) {
        const double d = luma(p) - luma(q);
        return d * d;
    });
}

double psnr(const QImage& a, const QImage& b) {
    return psnrOver(a, b, 3, [](std::uint32_t p, std::uint32_t q) {
        double sum = 0;
        for (int shift : {0, 8, 16}) {
            const double d = double((p >> shift) & 0xff) - double((q >> shift) & 0xff);
            sum += d * d;
        }
        return sum;
    });
}

void writeSilenceThenTone(const std::string& path, int silentMs, int toneMs) {
    constexpr int kRate = 48000;
    const std::uint32_t frames = static_cast<std::uint32_t>((silentMs + toneMs) * kRate / 1000);
    const std::uint32_t toneFrom = static_cast<std::uint32_t>(silentMs * kRate / 1000);
    std::string data;
    for (std::uint32_t i = 0; i < frames; ++i) {
        const double v = i < toneFrom ? 0 : 0.5 * std::sin(2 * M_PI * 440 * i / kRate);
        const auto s = static_cast<std::int16_t>(std::lround(v * 32767));
        for (int c = 0; c < 2; ++c) data.append(reinterpret_cast<const char*>(&s), 2);
    }
    auto le = [](std::uint32_t v, int bytes) {
        std::string out;
        for (int i = 0; i < bytes; ++i) out += static_cast<char>((v >> (8 * i)) & 0xff);
        return out;
    };
    const std::uint32_t size = static_cast<std::uint32_t>(data.size());
    std::ofstream out(path, std::ios::binary);
    out << "RIFF" << le(36 + size, 4) << "WAVEfmt " << le(16, 4) << le(1, 2) << le(2, 2)
        << le(kRate, 4) << le(kRate * 4, 4) << le(4, 2) << le(16, 2) << "data" << le(size, 4)
        << data;
}

}  // namespace orba::test
