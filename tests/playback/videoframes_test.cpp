// Video pictures decoded on their worker: made at test time as one-second
// colour bands, so the colour shown tells which time was decoded.
#include "playback/videoframes.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/bitmap.h"
#include "platform/canvas.h"
#include "tests/playback/mediafixtures.h"

namespace orba {
namespace {

using namespace std::chrono_literals;

TEST(LoopTimeTest, ALoopStartsAgainAtItsLengthAndAnUnknownLengthLeavesTheTime) {
    EXPECT_EQ(loopTime(0, 3000), 0);
    EXPECT_EQ(loopTime(2999, 3000), 2999);
    EXPECT_EQ(loopTime(3000, 3000), 0);
    EXPECT_EQ(loopTime(7500, 3000), 1500);
    EXPECT_EQ(loopTime(7500, -1), 7500);
    EXPECT_EQ(loopTime(7500, 0), 7500);
}

TEST(PlanVideoStepTest, BackwardsFarAheadOrANewSizeSeeksAndEverythingElseDecodesOn) {
    struct Case {
        std::optional<int> shown;
        bool resized;
        int target;
        VideoStep step;
    };
    const Case cases[] = {
        {std::nullopt, false, 0, VideoStep::Forward},
        {std::nullopt, false, 60000, VideoStep::Forward},  // the first picture: from the start
        {std::nullopt, true, 0, VideoStep::Seek},
        {1000, false, 1000, VideoStep::Forward},
        {1000, false, 1000 + kVideoFarAheadMs, VideoStep::Forward},
        {1000, false, 1001 + kVideoFarAheadMs, VideoStep::Seek},
        {1000, false, 999, VideoStep::Seek},
        {1000, true, 1015, VideoStep::Seek},
    };
    for (const Case& c : cases)
        EXPECT_EQ(planVideoStep({c.shown, c.resized}, c.target), c.step)
            << "shown " << c.shown.value_or(-1) << " target " << c.target;
}

// Which of red, green and blue a picture's centre is (the bands are pure
// colours; decoding leaves them within a few steps of it).
char centreColour(const std::shared_ptr<const Bitmap>& picture) {
    if (!picture || picture->empty()) return '?';
    const Colour c = picture->canvas().pixel(picture->width() / 2, picture->height() / 2);
    const int r = c & 0xFF, g = (c >> 8) & 0xFF, b = (c >> 16) & 0xFF;
    if (r > 200 && g < 60 && b < 60) return 'r';
    if (g > 200 && r < 60 && b < 60) return 'g';
    if (b > 200 && r < 60 && g < 60) return 'b';
    return '?';
}

class VideoFramesTest : public ::testing::Test {
protected:
    std::string video(const std::string& name, bool sound = true) {
        const std::string path = dir.file(name);
        EXPECT_TRUE(test::writeColourVideo(path, {"red", "green", "blue"}, sound));
        return path;
    }
    test::TempDir dir;
};

TEST_F(VideoFramesTest, ThePictureOfATimeIsTheOneShownThenWhicheverWayTheTimeMoves) {
    VideoFrames frames(video("bands.mp4"), /*loops=*/false);
    EXPECT_EQ(frames.problem(), "");
    EXPECT_EQ(frames.note(), "");
    EXPECT_EQ(frames.displayWidth(), 160);
    EXPECT_EQ(frames.displayHeight(), 90);
    EXPECT_EQ(centreColour(frames.pictureAt(0, 160, 90, 10s)), 'r');
    EXPECT_EQ(centreColour(frames.pictureAt(1500, 160, 90, 10s)), 'g');
    EXPECT_EQ(centreColour(frames.pictureAt(2950, 160, 90, 10s)), 'b');
    // Back in time, and far ahead past the end: the last picture stays.
    EXPECT_EQ(centreColour(frames.pictureAt(500, 160, 90, 10s)), 'r');
    EXPECT_EQ(centreColour(frames.pictureAt(60000, 160, 90, 10s)), 'b');
    EXPECT_EQ(centreColour(frames.pictureAt(1100, 160, 90, 10s)), 'g');
}

TEST_F(VideoFramesTest, PicturesComeAtTheSizeAskedForAndTheWindowsCallNeverWaits) {
    VideoFrames frames(video("bands.mp4"), false);
    const std::shared_ptr<const Bitmap> small = frames.pictureAt(1200, 80, 45, 10s);
    ASSERT_TRUE(small);
    EXPECT_EQ(small->width(), 80);
    EXPECT_EQ(small->height(), 45);
    EXPECT_EQ(centreColour(small), 'g');
    const std::shared_ptr<const Bitmap> large = frames.pictureAt(1200, 320, 180, 10s);
    ASSERT_TRUE(large);
    EXPECT_EQ(large->width(), 320);
    EXPECT_EQ(centreColour(large), 'g');
    // The window's call hands over what is ready: the last picture, for now.
    EXPECT_EQ(frames.picture(2500, 320, 180), large);
    EXPECT_EQ(centreColour(frames.pictureAt(2500, 320, 180, 10s)), 'b');
}

TEST_F(VideoFramesTest, ABackgroundLoopsOverAndOver) {
    VideoFrames frames(video("bands.webm", /*sound=*/false), /*loops=*/true);
    EXPECT_EQ(frames.problem(), "");
    EXPECT_EQ(centreColour(frames.pictureAt(2500, 160, 90, 10s)), 'b');
    EXPECT_EQ(centreColour(frames.pictureAt(3500, 160, 90, 10s)), 'r');
    EXPECT_EQ(centreColour(frames.pictureAt(7600, 160, 90, 10s)), 'g');
}

class VideoContainerTest : public VideoFramesTest,
                           public ::testing::WithParamInterface<std::string> {};

TEST_P(VideoContainerTest, EveryKindOfKaraokeVideoGivesItsPictures) {
    VideoFrames frames(video("bands" + GetParam()), false);
    EXPECT_EQ(frames.problem(), "");
    if (GetParam() == ".mpg") {
        // GStreamer's MPEG-PS muxer and demuxer move the pictures' times by
        // half a second or so, and seek by the stream's rate: only the
        // first and the last band are sure.
        EXPECT_EQ(centreColour(frames.pictureAt(500, 160, 90, 10s)), 'r');
        EXPECT_EQ(centreColour(frames.pictureAt(2950, 160, 90, 10s)), 'b');
        return;
    }
    EXPECT_EQ(centreColour(frames.pictureAt(1500, 160, 90, 10s)), 'g');
    EXPECT_EQ(centreColour(frames.pictureAt(500, 160, 90, 10s)), 'r');
}

INSTANTIATE_TEST_SUITE_P(Containers, VideoContainerTest,
                         ::testing::Values(".mp4", ".mkv", ".webm", ".avi", ".mov", ".mpg"),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param.substr(1);
                         });

TEST_F(VideoFramesTest, FilesWithoutPicturesSayWhyAndNeverHang) {
    namespace fs = std::filesystem;
    // Sound alone in a video's container.
    ASSERT_TRUE(test::writeTone(dir.file("tone.m4a"), 1000));
    fs::rename(dir.file("tone.m4a"), dir.file("tone.mp4"));
    test::writeFile(dir.file("text.mp4"), "not a video at all\n");
    test::writeFile(dir.file("empty.mkv"), "");
    // Cut in half: the MP4's index, written last, is gone.
    const std::string whole = video("whole.mp4");
    fs::copy_file(whole, dir.file("cut.mp4"));
    fs::resize_file(dir.file("cut.mp4"), fs::file_size(whole) / 2);
    for (const char* name : {"tone.mp4", "text.mp4", "empty.mkv", "cut.mp4", "missing.mp4"}) {
        VideoFrames frames(dir.file(name), false);
        EXPECT_NE(frames.problem(), "") << name;
        EXPECT_EQ(frames.pictureAt(1000, 160, 90, 10s), nullptr) << name;
    }
    VideoFrames sound(dir.file("tone.mp4"), false);
    EXPECT_EQ(sound.problem(), "it has no picture stream");
}

TEST_F(VideoFramesTest, AVideoWithoutSoundSaysSoAndStillGivesItsPictures) {
    VideoFrames frames(video("silent.mp4", /*sound=*/false), false);
    EXPECT_EQ(frames.problem(), "");
    EXPECT_EQ(frames.note(), "the video has no sound");
    EXPECT_EQ(centreColour(frames.pictureAt(2200, 160, 90, 10s)), 'b');
}

}  // namespace
}  // namespace orba
