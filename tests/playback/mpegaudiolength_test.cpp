#include "playback/mpegaudiolength.h"

#include <gtest/gtest.h>

#include <string>

namespace orba {
namespace {

std::string frame(const char* header, int bytes) {
    std::string f(header, 4);
    f.resize(static_cast<std::size_t>(bytes), '\0');
    return f;
}

const char* const k128 = "\xFF\xFB\x90\x00";  // MPEG-1 layer III, 128 kbps, 44.1 kHz
const char* const k320 = "\xFF\xFB\xE0\x00";  // the same at 320 kbps

std::string frames(const char* header, int bytes, int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += frame(header, bytes);
    return s;
}

TEST(MpegFrameHeader, ReadsEveryVersionAndLayer) {
    struct Case {
        const char* what;
        const char* header;
        int kbps, rate, bytes, samples;
    };
    const Case cases[] = {
        {"MPEG-1 III", "\xFF\xFB\x90\x00", 128, 44100, 417, 1152},
        {"MPEG-1 III padded", "\xFF\xFB\x92\x00", 128, 44100, 418, 1152},
        {"MPEG-1 II", "\xFF\xFD\xA4\x00", 192, 48000, 576, 1152},
        {"MPEG-1 I", "\xFF\xFF\xC8\x00", 384, 32000, 576, 384},
        {"MPEG-2 III", "\xFF\xF3\x80\x00", 64, 22050, 208, 576},
        {"MPEG-2.5 III", "\xFF\xE3\x18\x00", 8, 8000, 72, 576},
    };
    for (const Case& c : cases) {
        std::optional<MpegFrameHeader> h = parseMpegFrameHeader(std::string(c.header, 4));
        ASSERT_TRUE(h) << c.what;
        EXPECT_EQ(h->bitrateKbps, c.kbps) << c.what;
        EXPECT_EQ(h->sampleRate, c.rate) << c.what;
        EXPECT_EQ(h->frameBytes, c.bytes) << c.what;
        EXPECT_EQ(h->samples, c.samples) << c.what;
    }
}

TEST(MpegFrameHeader, RejectsReservedAndFreeValues) {
    for (const char* header : {"\xFF\xFB\xF0\x00", "\xFF\xFB\x9C\x00", "\xFF\xEB\x90\x00",
                               "\xFF\xF9\x90\x00", "\xFF\xFB\x00\x00", "\xFF\x1B\x90\x00"})
        EXPECT_FALSE(parseMpegFrameHeader(std::string(header, 4)));
    EXPECT_FALSE(parseMpegFrameHeader("\xFF\xFB"));
}

TEST(MpegAudioLength, CountsTheFramesOfAWholeStream) {
    std::string s = frames(k128, 417, 100);
    EXPECT_EQ(estimateMpegAudioLengthMs(s, s.size()), 2612);  // 100 x 1152 samples at 44.1 kHz
}

TEST(MpegAudioLength, CountsFramesNotTheFirstBitrateOfAVariableStream) {
    std::string s = frames(k128, 417, 50) + frames(k320, 1044, 50);
    EXPECT_EQ(estimateMpegAudioLengthMs(s, s.size()), 2612);
}

TEST(MpegAudioLength, ExtendsTheHeadsBitrateToTheRestOfTheFile) {
    std::string head = frames(k128, 417, 20);
    EXPECT_EQ(estimateMpegAudioLengthMs(head, 417u * 100), 2612);
}

TEST(MpegAudioLength, SkipsAnId3TagBeforeTheFirstFrame) {
    std::string tag("ID3\x03\x00\x00\x00\x00\x07\x5E", 10);  // 990 bytes follow
    tag.resize(1000, 'x');
    std::string s = tag + frames(k128, 417, 100);
    EXPECT_EQ(estimateMpegAudioLengthMs(s, s.size()), 2612);
}

TEST(MpegAudioLength, FindsNoStreamInOtherBytes) {
    std::string junk(2000, '\0');
    junk.replace(100, 4, k128);  // a lone sync pattern
    EXPECT_FALSE(estimateMpegAudioLengthMs(junk, junk.size()));
    EXPECT_FALSE(estimateMpegAudioLengthMs("", 0));
    std::string bigTag("ID3\x03\x00\x00\x00\x7F\x7F\x7F", 10);
    EXPECT_FALSE(estimateMpegAudioLengthMs(bigTag + frames(k128, 417, 3), 1u << 24));
}

}  // namespace
}  // namespace orba
