#include "export/videoexport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "playback/midisource.h"
#include "tests/export/videofile.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/foldersnapshot.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;

// A picture that is a function of the song time alone: gradients that the
// encoders keep well, and a white block that moves 4 pixels every 10 ms, so
// that a frame of the wrong time is far from the right one.
void paintPattern(int songMs, Bitmap& back) {
    QImage& image = back.image();
    const int w = image.width(), h = image.height();
    const int blockX = (songMs / 10) * 4 % (w - 40);
    for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const bool block = x >= blockX && x < blockX + 40 && y >= h / 3 && y < h / 3 + 40;
            const std::uint32_t r = static_cast<std::uint32_t>(x * 255 / w);
            const std::uint32_t g = static_cast<std::uint32_t>(y * 255 / h);
            const std::uint32_t b = static_cast<std::uint32_t>(songMs / 8 % 256);
            row[x] = block ? 0xffffffffu : 0xff000000u | r << 16 | g << 8 | b;
        }
    }
}

QImage patternAt(int songMs, int w, int h) {
    Bitmap b(w, h);
    paintPattern(songMs, b);
    return b.image();
}

class PatternSource : public ExportFrameSource {
public:
    void drawFrame(int songMs, Bitmap& back) override {
        asked.push_back(songMs);
        paintPattern(songMs, back);
        if (afterFrame) afterFrame();
    }
    std::vector<int> asked;
    std::function<void()> afterFrame;
};

bool exists(const std::string& path) {
    return std::filesystem::exists(path);
}

std::string fileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

class VideoExportTest : public ::testing::Test {
protected:
    ExportJob job(const std::string& name, int fromMs, int toMs) {
        ExportJob j;
        j.outFile = dir.file(name);
        j.plan = *encodingPlanFor(name);
        j.width = 320;
        j.height = 240;
        j.fps = 25;
        j.fromMs = fromMs;
        j.toMs = toMs;
        return j;
    }
    ExportResult run(const ExportJob& j) { return exportVideo(j, source, nullptr, cancel); }

    TempDir dir;
    PatternSource source;
    std::atomic<bool> cancel{false};
};

struct ContainerCase {
    const char* ext;
    const char* videoCodec;
    const char* audioCodec;
};

class ContainerExport : public VideoExportTest,
                        public ::testing::WithParamInterface<ContainerCase> {};

TEST_P(ContainerExport, HoldsOneVideoAndOneAudioStreamOfTheAskedShapeAndFrames) {
    const std::string music = dir.file("music.wav");
    test::writeSilenceThenTone(music, 0, 3000);
    ExportJob j = job(std::string("out") + GetParam().ext, 500, 2500);
    j.audio = {ExportAudio::Kind::Decoded, music};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    // The partial file has become the output.
    EXPECT_EQ(test::snapshotFolder(dir.path(), {"music.wav", fileName(j.outFile)}),
              test::FolderSnapshot{});

    const std::optional<test::VideoFileInfo> info = test::discoverVideo(j.outFile);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->videoStreams, 1);
    EXPECT_EQ(info->audioStreams, 1);
    EXPECT_EQ(info->videoCodec, GetParam().videoCodec);
    EXPECT_EQ(info->audioCodec, GetParam().audioCodec);
    EXPECT_EQ(info->width, 320);
    EXPECT_EQ(info->height, 240);
    EXPECT_EQ(info->fpsNum * 1, info->fpsDen * 25);
    EXPECT_NEAR(info->durationMs, 2000, 40);

    // The source was asked for every frame, once, in time order, from the start.
    ASSERT_EQ(source.asked.size(), 50u);
    for (std::size_t k = 0; k < source.asked.size(); ++k)
        EXPECT_EQ(source.asked[k], 500 + static_cast<int>(k) * 40) << k;

    // Frames in the middle and near the end show their own moment.
    for (int videoMs : {1000, 1920}) {
        std::optional<QImage> frame = test::decodeFrameAt(j.outFile, videoMs + 20);
        ASSERT_TRUE(frame) << videoMs;
        EXPECT_GE(test::psnr(*frame, patternAt(500 + videoMs, 320, 240)), 35.0) << videoMs;
        EXPECT_LT(test::psnr(*frame, patternAt(500 + videoMs + 40, 320, 240)), 35.0) << videoMs;
    }
}

INSTANTIATE_TEST_SUITE_P(Containers, ContainerExport,
                         ::testing::Values(ContainerCase{".mp4", "video/x-h264", "audio/mpeg"},
                                           ContainerCase{".webm", "video/x-vp9", "audio/x-opus"},
                                           ContainerCase{".mkv", "video/x-h264", "audio/x-opus"}),
                         [](const ::testing::TestParamInfo<ContainerCase>& info) {
                             return std::string(info.param.ext + 1);
                         });

TEST_F(VideoExportTest, SoundStartsAtTheExportStartAndEndsWithTheVideo) {
    // The tone begins at 1000 ms of the song; the video starts at 800.
    const std::string music = dir.file("music.wav");
    test::writeSilenceThenTone(music, 1000, 1000);
    ExportJob j = job("out.mkv", 800, 1600);
    j.audio = {ExportAudio::Kind::Decoded, music};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    const std::vector<float> sound = test::decodeAudio(j.outFile);
    EXPECT_NEAR(static_cast<double>(sound.size()) / 2 / 48, 800, 25);
    EXPECT_LT(test::rmsBetween(sound, 0, 170), 0.01);
    EXPECT_GT(test::rmsBetween(sound, 260, 780), 0.2);
}

class SoundTiming : public VideoExportTest, public ::testing::WithParamInterface<const char*> {};

// Picture and sound share one clock: a sound that starts at 1000 ms of the
// song starts at 200 ms of a video from 800 ms, in every container, however
// much silence its encoder puts first.
TEST_P(SoundTiming, SoundKeepsToTheSongClockToTheMillisecond) {
    const std::string music = dir.file("music.wav");
    test::writeSilenceThenTone(music, 1000, 600);
    ExportJob j = job(std::string("out") + GetParam(), 800, 1600);
    j.audio = {ExportAudio::Kind::Decoded, music};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_NEAR(test::firstLoudMs(test::decodeAudio(j.outFile), 0.25f), 200, 2);
}

INSTANTIATE_TEST_SUITE_P(Containers, SoundTiming, ::testing::Values(".mp4", ".webm", ".mkv"),
                         [](const ::testing::TestParamInfo<const char*>& info) {
                             return std::string(info.param + 1);
                         });

TEST_F(VideoExportTest, SoundOfASongShorterThanTheVideoIsPaddedWithSilence) {
    const std::string music = dir.file("music.wav");
    test::writeSilenceThenTone(music, 0, 500);
    ExportJob j = job("out.mkv", 0, 1000);
    j.audio = {ExportAudio::Kind::Decoded, music};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    const std::vector<float> sound = test::decodeAudio(j.outFile);
    EXPECT_NEAR(static_cast<double>(sound.size()) / 2 / 48, 1000, 25);
    EXPECT_GT(test::rmsBetween(sound, 100, 400), 0.2);
    EXPECT_LT(test::rmsBetween(sound, 600, 950), 0.01);
}

TEST_F(VideoExportTest, MidiSongSoundsThroughTheSynthesizerFromTheStartAsked) {
    if (findSoundFont().empty()) GTEST_SKIP() << "no General MIDI soundfont installed";
    const std::string midi = dir.file("song.mid");
    test::writeFile(midi, test::tempoChangeMidi());
    ExportJob j = job("out.mkv", 1000, test::kTempoChangeMidiMs);
    j.audio = {ExportAudio::Kind::Midi, midi};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    const std::optional<test::VideoFileInfo> info = test::discoverVideo(j.outFile);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->audioStreams, 1);
    EXPECT_NEAR(info->durationMs, 2000, 40);
    EXPECT_GT(test::rmsBetween(test::decodeAudio(j.outFile), 100, 1900), 0.001);
}

TEST_F(VideoExportTest, AMissingVp9EncoderFallsBackToVp8) {
    ExportJob j = job("out.webm", 0, 400);
    j.plan.video = {"orbanosuchenc", "no-such-package"};
    const ExportResult r = run(j);
    ASSERT_TRUE(r.ok) << r.error;
    EXPECT_EQ(test::discoverVideo(j.outFile)->videoCodec, "video/x-vp8");
}

TEST_F(VideoExportTest, FailedOrCancelledExportLeavesNoFile) {
    {
        SCOPED_TRACE("a folder that is not there");
        ExportJob j = job("out.mp4", 0, 400);
        j.outFile = dir.file("missing/out.mp4");
        const ExportResult r = run(j);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("cannot write " + j.outFile), std::string::npos) << r.error;
        EXPECT_FALSE(exists(dir.file("missing")));
    }
    {
        SCOPED_TRACE("a missing encoder");
        ExportJob j = job("out.mp4", 0, 400);
        j.plan.video = {"orbanosuchenc", "no-such-package"};
        const ExportResult r = run(j);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("orbanosuchenc"), std::string::npos) << r.error;
        EXPECT_NE(r.error.find("no-such-package"), std::string::npos) << r.error;
        EXPECT_EQ(test::snapshotFolder(dir.path()), test::FolderSnapshot{});
    }
    {
        SCOPED_TRACE("a size the encoders cannot take");
        ExportJob j = job("out.mp4", 0, 400);
        j.width = 321;
        EXPECT_FALSE(run(j).ok);
        EXPECT_FALSE(exists(j.outFile));
    }
    {
        SCOPED_TRACE("cancelled half way, over an earlier export of the same name");
        ExportJob j = job("out.mkv", 0, 2000);
        j.overwrite = true;
        test::writeFile(j.outFile, "earlier");
        const test::FolderSnapshot before = test::snapshotFolder(dir.path());
        source.afterFrame = [&] {
            if (source.asked.size() == 20) cancel = true;
        };
        const ExportResult r = run(j);
        EXPECT_FALSE(r.ok);
        EXPECT_TRUE(r.cancelled);
        EXPECT_LE(source.asked.size(), 21u);
        EXPECT_EQ(test::snapshotFolder(dir.path()), before);
    }
    {
        SCOPED_TRACE("a song that cannot be decoded");
        cancel = false;
        ExportJob j = job("bad.mp4", 0, 400);
        test::writeFile(dir.file("noise.mp3"), std::string(5000, 'x'));
        j.audio = {ExportAudio::Kind::Decoded, dir.file("noise.mp3")};
        const ExportResult r = run(j);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.error.find("noise.mp3"), std::string::npos) << r.error;
        EXPECT_FALSE(exists(j.outFile));
    }
}

TEST_F(VideoExportTest, AnOutputMadeDuringTheExportIsNotReplaced) {
    ExportJob j = job("out.mkv", 0, 800);
    source.afterFrame = [&] {
        if (source.asked.size() == 5) test::writeFile(j.outFile, "theirs");
    };
    const ExportResult r = run(j);
    EXPECT_FALSE(r.ok);
    EXPECT_TRUE(r.outputExists);
    EXPECT_EQ(test::snapshotFolder(dir.path(), {"out.mkv"}), test::FolderSnapshot{});
    EXPECT_EQ(test::readFile(j.outFile), "theirs");
}

}  // namespace
}  // namespace orba
