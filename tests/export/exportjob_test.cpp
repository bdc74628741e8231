#include "export/exportjob.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(EncodingPlan, FollowsTheOutputExtensionInAnyLetterCase) {
    struct Case {
        const char* out;
        const char* video;
        const char* audio;
        const char* muxer;
    };
    for (const Case& c : {Case{"/v/song.mp4", "x264enc", "avenc_aac", "mp4mux"},
                          Case{"song.MP4", "x264enc", "avenc_aac", "mp4mux"},
                          Case{"a.b/song.webm", "vp9enc", "opusenc", "webmmux"},
                          Case{"song.Mkv", "x264enc", "opusenc", "matroskamux"}}) {
        std::optional<EncodingPlan> plan = encodingPlanFor(c.out);
        ASSERT_TRUE(plan) << c.out;
        EXPECT_STREQ(plan->video.element, c.video) << c.out;
        EXPECT_STREQ(plan->audio.element, c.audio) << c.out;
        EXPECT_STREQ(plan->muxer.element, c.muxer) << c.out;
    }
    EXPECT_STREQ(encodingPlanFor("x.webm")->videoFallback->element, "vp8enc");
}

TEST(EncodingPlan, RefusesOtherNames) {
    for (const char* out : {"song.avi", "song", "mp4", "song.mp4.txt", "folder.mp4/song", ""})
        EXPECT_FALSE(encodingPlanFor(out)) << out;
}

TEST(FrameTiming, FramesShowTheNearestMillisecondOfTheirTime) {
    EXPECT_EQ(frameSongMs(0, 0, 30), 0);
    EXPECT_EQ(frameSongMs(0, 1, 30), 33);
    EXPECT_EQ(frameSongMs(0, 2, 30), 67);
    EXPECT_EQ(frameSongMs(0, 3, 30), 100);
    EXPECT_EQ(frameSongMs(1500, 2, 25), 1580);
    // An hour in, still on the exact frame time: no drift accumulates.
    EXPECT_EQ(frameSongMs(0, 30LL * 3600, 30), 3600000);
    EXPECT_EQ(frameSongMs(0, 30LL * 3600 + 1, 30), 3600033);
}

TEST(FrameTiming, FramesCoverTheWholeSpan) {
    EXPECT_EQ(frameCount(0, 1000, 30), 30);
    EXPECT_EQ(frameCount(0, 1001, 30), 31);
    EXPECT_EQ(frameCount(0, 34, 30), 2);
    EXPECT_EQ(frameCount(500, 2500, 25), 50);
    EXPECT_EQ(frameCount(2000, 2000, 30), 0);
    EXPECT_EQ(frameCount(3000, 2000, 30), 0);
    // A long song does not overflow.
    EXPECT_EQ(frameCount(0, 2000000000, 60), 120000000LL);
}

TEST(ProgressText, SaysHowFarHowFastAndHowLong) {
    EXPECT_EQ(progressText({0, 300, 30, 0.0}), "0%");
    // 150 frames of 30 fps are 5 s of video, made in 2.5 s.
    EXPECT_EQ(progressText({150, 300, 30, 2.5}), "50% 2.0x real time, 0:03 left");
    EXPECT_EQ(progressText({300, 300, 30, 100.0}), "100% 0.1x real time, 0:00 left");
    EXPECT_EQ(progressText({1, 1000, 10, 1.0}), "0% 0.1x real time, 16:39 left");
}

}  // namespace
}  // namespace orba
