#include "export/i420converter.h"

#include <gst/app/gstappsink.h>
#include <gst/app/gstappsrc.h>
#include <gst/gst.h>
#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace orba {
namespace {

constexpr double kKr709 = 0.2126, kKb709 = 0.0722;
constexpr double kKr601 = 0.299, kKb601 = 0.114;

// GStreamer's arrangement of an I420 frame, with room to spare at the end of
// each row when `pad` is given, so that strides are not taken for widths.
I420Layout layoutFor(int w, int h, std::size_t pad = 0) {
    I420Layout l;
    l.width = w;
    l.height = h;
    l.strideY = static_cast<std::size_t>(w) + pad;
    l.strideU = l.strideV = static_cast<std::size_t>((w + 1) / 2) + pad;
    const std::size_t ch = static_cast<std::size_t>((h + 1) / 2);
    l.offsetU = l.strideY * static_cast<std::size_t>(h);
    l.offsetV = l.offsetU + l.strideU * ch;
    l.size = l.offsetV + l.strideV * ch;
    return l;
}

struct Picture {
    int w, h;
    std::vector<std::uint32_t> px;  // 0x00RRGGBB: bytes B, G, R, x in memory
    const std::uint8_t* bytes() const { return reinterpret_cast<const std::uint8_t*>(px.data()); }
    std::size_t stride() const { return static_cast<std::size_t>(w) * 4; }
};

Picture noise(int w, int h, unsigned seed) {
    std::mt19937 rng(seed);
    Picture p{w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h)};
    for (std::uint32_t& v : p.px) v = rng() & 0xFFFFFFu;
    return p;
}

Picture filled(int w, int h, std::uint32_t rgb) {
    return {w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, rgb)};
}

std::vector<std::uint8_t> convert(const Picture& p, const I420Layout& l, const YuvMatrix& m) {
    std::vector<std::uint8_t> out(l.size, 0xAB);
    convertBgrxRows(p.bytes(), p.stride(), l, m, 0, l.height, out.data());
    return out;
}

// The conversion done the long way, in floating point, from the definitions:
// each chroma sample from the RGB mean of the pixels it covers.
std::vector<std::uint8_t> reference(const Picture& p, const I420Layout& l, double kr, double kb,
                                    bool cosited) {
    const double kg = 1 - kr - kb;
    const auto channel = [&](int x, int y, int shift) {
        x = std::clamp(x, 0, p.w - 1);
        y = std::clamp(y, 0, p.h - 1);
        return double((p.px[static_cast<std::size_t>(y) * p.w + x] >> shift) & 0xFF);
    };
    const auto clamp8 = [](double v) {
        return static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
    };
    std::vector<std::uint8_t> out(l.size, 0xAB);
    for (int y = 0; y < p.h; ++y)
        for (int x = 0; x < p.w; ++x) {
            const double luma =
                kr * channel(x, y, 16) + kg * channel(x, y, 8) + kb * channel(x, y, 0);
            out[y * l.strideY + x] = clamp8(16 + luma * 219 / 255);
        }
    for (int cy = 0; cy < (p.h + 1) / 2; ++cy)
        for (int cx = 0; cx < (p.w + 1) / 2; ++cx) {
            double rgb[3] = {0, 0, 0};
            const int taps[3] = {-1, 0, 1};
            const double weights[3] = {cosited ? 0.25 : 0, cosited ? 0.5 : 0.5,
                                       cosited ? 0.25 : 0.5};
            for (int row = 0; row < 2; ++row)
                for (int t = 0; t < 3; ++t) {
                    // Between columns, the taps are the column and the one after it.
                    const int x = 2 * cx + (cosited ? taps[t] : std::max(0, taps[t]));
                    const double w = weights[t] / 2;
                    for (int c = 0; c < 3; ++c) rgb[c] += w * channel(x, 2 * cy + row, 16 - 8 * c);
                }
            const double luma = kr * rgb[0] + kg * rgb[1] + kb * rgb[2];
            out[l.offsetU + cy * l.strideU + cx] =
                clamp8(128 + (rgb[2] - luma) / (2 * (1 - kb)) * 224 / 255);
            out[l.offsetV + cy * l.strideV + cx] =
                clamp8(128 + (rgb[0] - luma) / (2 * (1 - kr)) * 224 / 255);
        }
    return out;
}

int largestDifference(const std::vector<std::uint8_t>& a, const std::vector<std::uint8_t>& b) {
    int most = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i)
        most = std::max(most, std::abs(int(a[i]) - int(b[i])));
    return most;
}

struct Yuv {
    int y, u, v;
};

Yuv firstSample(const std::vector<std::uint8_t>& out, const I420Layout& l) {
    return {out[0], out[l.offsetU], out[l.offsetV]};
}

TEST(I420Converter, PrimariesAndGreysTakeTheStandardStudioRangeValues) {
    const I420Layout l = layoutFor(4, 4);
    struct Case {
        std::uint32_t rgb;
        bool hd;
        Yuv want;
    } cases[] = {
        {0x000000, true, {16, 128, 128}},  {0xFFFFFF, true, {235, 128, 128}},
        {0x808080, true, {126, 128, 128}}, {0xFF0000, true, {63, 102, 240}},
        {0x00FF00, true, {173, 42, 26}},   {0x0000FF, true, {32, 240, 118}},
        {0xFF0000, false, {81, 90, 240}},  {0x00FF00, false, {145, 54, 34}},
        {0x0000FF, false, {41, 240, 110}}, {0xFFFFFF, false, {235, 128, 128}},
    };
    for (const Case& c : cases) {
        const YuvMatrix m =
            c.hd ? yuvMatrix(kKr709, kKb709, true, true) : yuvMatrix(kKr601, kKb601, true, false);
        const Yuv got = firstSample(convert(filled(4, 4, c.rgb), l, m), l);
        SCOPED_TRACE(testing::Message() << std::hex << c.rgb << (c.hd ? " BT.709" : " BT.601"));
        EXPECT_EQ(got.y, c.want.y);
        EXPECT_EQ(got.u, c.want.u);
        EXPECT_EQ(got.v, c.want.v);
    }
}

TEST(I420Converter, FullRangeSpansEveryByte) {
    const I420Layout l = layoutFor(2, 2);
    const YuvMatrix m = yuvMatrix(kKr601, kKb601, false, false);
    const Yuv black = firstSample(convert(filled(2, 2, 0x000000), l, m), l);
    const Yuv white = firstSample(convert(filled(2, 2, 0xFFFFFF), l, m), l);
    const Yuv blue = firstSample(convert(filled(2, 2, 0x0000FF), l, m), l);
    EXPECT_EQ(black.y, 0);
    EXPECT_EQ(white.y, 255);
    EXPECT_EQ(white.u, 128);
    EXPECT_EQ(blue.u, 255);
}

TEST(I420Converter, MatchesTheFloatingPointDefinitionAtOddSizesAndPaddedStrides) {
    struct Size {
        int w, h;
        std::size_t pad;
    } sizes[] = {{1, 1, 0}, {2, 2, 0}, {3, 5, 3}, {17, 9, 0}, {33, 7, 5}, {64, 6, 0}, {101, 3, 1}};
    unsigned seed = 1;
    for (const Size& s : sizes)
        for (const bool cosited : {false, true}) {
            SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << (cosited ? " cosited" : ""));
            const Picture p = noise(s.w, s.h, seed++);
            const I420Layout l = layoutFor(s.w, s.h, s.pad);
            const std::vector<std::uint8_t> got =
                convert(p, l, yuvMatrix(kKr709, kKb709, true, cosited));
            const std::vector<std::uint8_t> want = reference(p, l, kKr709, kKb709, cosited);
            // The padding between rows is left as it was.
            EXPECT_LE(largestDifference(got, want), 1);
        }
}

// The converter writing into one of two buffers in turn, as the export
// writes into the encoder's buffers, each frame from the one before.
struct TwoBuffers {
    I420Converter converter;
    std::vector<std::uint8_t> now, before;
    bool any = false;
    TwoBuffers(const I420Layout& l, const YuvMatrix& m)
        : converter(l, m), now(l.size, 0xCD), before(l.size, 0xCD) {}
    int convert(const std::uint8_t* bgrx, std::size_t stride) {
        std::swap(now, before);
        // Whatever the buffer held before is written over.
        std::fill(now.begin(), now.end(), 0xCD);
        const int pairs =
            converter.convert(bgrx, stride, now.data(), any ? before.data() : nullptr);
        any = true;
        return pairs;
    }
};

TEST(I420Converter, ConvertsOnlyTheRowPairsThatChanged) {
    const int w = 40, h = 11;  // an odd last row of its own
    const I420Layout l = layoutFor(w, h);
    const YuvMatrix m = yuvMatrix(kKr709, kKb709, true, true);
    TwoBuffers out(l, m);
    Picture p = noise(w, h, 7);
    EXPECT_EQ(out.convert(p.bytes(), p.stride()), 6);
    EXPECT_EQ(out.now, convert(p, l, m));
    EXPECT_EQ(out.convert(p.bytes(), p.stride()), 0);
    EXPECT_EQ(out.now, convert(p, l, m));

    // One pixel at the end of row 5 (the pair 4-5), and the last, odd row.
    p.px[5 * w + w - 1] ^= 0x010000;
    p.px[10 * w] ^= 0x000100;
    EXPECT_EQ(out.convert(p.bytes(), p.stride()), 2);
    EXPECT_EQ(out.now, convert(p, l, m));

    // A change undone is a change too.
    p.px[5 * w + w - 1] ^= 0x010000;
    EXPECT_EQ(out.convert(p.bytes(), p.stride()), 1);
    EXPECT_EQ(out.now, convert(p, l, m));
}

TEST(I420Converter, ConvertsEveryRowWithoutThePreviousResult) {
    const I420Layout l = layoutFor(8, 4);
    const YuvMatrix m = yuvMatrix(kKr601, kKb601, true, false);
    I420Converter converter(l, m);
    const Picture p = noise(8, 4, 5);
    std::vector<std::uint8_t> out(l.size);
    converter.convert(p.bytes(), p.stride(), out.data(), nullptr);
    std::vector<std::uint8_t> again(l.size, 0);
    EXPECT_EQ(converter.convert(p.bytes(), p.stride(), again.data(), nullptr), 2);
    EXPECT_EQ(again, convert(p, l, m));
}

TEST(I420Converter, ReadsRowsThroughTheirStride) {
    const int w = 6, h = 4;
    const I420Layout l = layoutFor(w, h);
    const YuvMatrix m = yuvMatrix(kKr601, kKb601, true, false);
    const Picture p = noise(w, h, 3);
    // The same picture with 2 pixels of other bytes after each row.
    std::vector<std::uint32_t> wide(static_cast<std::size_t>(w + 2) * h, 0x00FF00FF);
    for (int y = 0; y < h; ++y) std::copy_n(p.px.begin() + y * w, w, wide.begin() + y * (w + 2));
    TwoBuffers out(l, m);
    out.convert(reinterpret_cast<const std::uint8_t*>(wide.data()), (w + 2) * 4);
    EXPECT_EQ(out.now, convert(p, l, m));
    // Bytes past a row's end that change are no change of the picture.
    wide[w] ^= 0xFFFFFF;
    EXPECT_EQ(out.convert(reinterpret_cast<const std::uint8_t*>(wide.data()), (w + 2) * 4), 0);
    EXPECT_EQ(out.now, convert(p, l, m));
}

// What the pipeline's converter made of the same frame before this one
// replaced it, at the caps the export gives the encoder.
std::vector<std::uint8_t> videoconvert(const Picture& p, GstVideoInfo& info) {
    gst_init(nullptr, nullptr);
    const std::string launch =
        "appsrc name=src format=time caps=video/x-raw,format=BGRx,width=" + std::to_string(p.w) +
        ",height=" + std::to_string(p.h) + ",framerate=30/1 ! videoconvert ! appsink name=sink";
    GstElement* pipeline = gst_parse_launch(launch.c_str(), nullptr);
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    GstCaps* caps = gst_video_info_to_caps(&info);
    g_object_set(sink, "caps", caps, nullptr);
    gst_caps_unref(caps);
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBuffer* in = gst_buffer_new_allocate(nullptr, p.px.size() * 4, nullptr);
    gst_buffer_fill(in, 0, p.px.data(), p.px.size() * 4);
    GST_BUFFER_PTS(in) = 0;
    gst_app_src_push_buffer(GST_APP_SRC(src), in);
    gst_app_src_end_of_stream(GST_APP_SRC(src));
    std::vector<std::uint8_t> out;
    if (GstSample* sample = gst_app_sink_pull_sample(GST_APP_SINK(sink))) {
        GstMapInfo map;
        GstBuffer* b = gst_sample_get_buffer(sample);
        gst_buffer_map(b, &map, GST_MAP_READ);
        out.assign(map.data, map.data + map.size);
        gst_buffer_unmap(b, &map);
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(src);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return out;
}

TEST(I420Converter, GivesTheColoursOfThePipelinesConverter) {
    // Smooth pictures, as frames are: a gradient with blocks of colour.
    for (const auto& [w, h] : {std::pair{1280, 720}, std::pair{320, 240}}) {
        SCOPED_TRACE(testing::Message() << w << "x" << h);
        Picture p = filled(w, h, 0);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                p.px[static_cast<std::size_t>(y) * w + x] =
                    (x / 64 % 3 == 0) ? 0xFF8000u
                                      : (std::uint32_t(x * 255 / w) << 16 |
                                         std::uint32_t(y * 255 / h) << 8 | 0x40);
        GstVideoInfo info;
        gst_video_info_set_format(&info, GST_VIDEO_FORMAT_I420, w, h);
        info.fps_n = 30;
        info.fps_d = 1;
        const std::vector<std::uint8_t> want = videoconvert(p, info);
        ASSERT_EQ(want.size(), info.size);
        gdouble kr = 0, kb = 0;
        ASSERT_TRUE(gst_video_color_matrix_get_Kr_Kb(info.colorimetry.matrix, &kr, &kb));
        I420Layout l;
        l.width = w;
        l.height = h;
        l.strideY = GST_VIDEO_INFO_PLANE_STRIDE(&info, 0);
        l.strideU = GST_VIDEO_INFO_PLANE_STRIDE(&info, 1);
        l.strideV = GST_VIDEO_INFO_PLANE_STRIDE(&info, 2);
        l.offsetU = GST_VIDEO_INFO_PLANE_OFFSET(&info, 1);
        l.offsetV = GST_VIDEO_INFO_PLANE_OFFSET(&info, 2);
        l.size = info.size;
        const YuvMatrix m = yuvMatrix(kr, kb, info.colorimetry.range != GST_VIDEO_COLOR_RANGE_0_255,
                                      (info.chroma_site & GST_VIDEO_CHROMA_SITE_H_COSITED) != 0);
        EXPECT_LE(largestDifference(convert(p, l, m), want), 2);
    }
}

}  // namespace
}  // namespace orba
