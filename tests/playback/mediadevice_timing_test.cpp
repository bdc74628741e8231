// Playback against the wall clock, through "fakesink sync=true".
#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"

namespace orba {
namespace {

using test::msSince;
using test::MusicTypeTest;
using test::sleepMs;
using test::waitForMode;

// How far the position may stray from the wall clock on a busy machine.
constexpr int kSlackMs = 80;

class PlaybackTiming : public MusicTypeTest {};

TEST_P(PlaybackTiming, PlaysInRealTimeUntilItsEnd) {
    MediaDevice device;
    device.open(path);
    int length = device.length();
    auto start = std::chrono::steady_clock::now();
    device.play();
    ASSERT_TRUE(waitForMode(device, kModePlaying, 2000));
    for (int i = 0; i < 4; ++i) {
        sleepMs(400);
        int position = device.position();
        EXPECT_NEAR(position, msSince(start), kSlackMs);
    }
    ASSERT_TRUE(waitForMode(device, kModeStopped, length + 2000));
    EXPECT_NEAR(msSince(start), length, 100);
    EXPECT_EQ(device.position(), length);
}

TEST_P(PlaybackTiming, PauseHoldsThePositionAndTheToggleResumes) {
    MediaDevice device;
    device.open(path);
    device.play();
    sleepMs(400);
    device.pauseToggle();
    EXPECT_EQ(device.mode(), kModePaused);
    int held = device.position();
    EXPECT_NEAR(held, 400, kSlackMs);
    sleepMs(300);
    EXPECT_NEAR(device.position(), held, 2);
    device.pauseToggle();
    EXPECT_TRUE(waitForMode(device, kModePlaying, 1000));
    sleepMs(300);
    EXPECT_NEAR(device.position(), held + 300, kSlackMs);
}

TEST_P(PlaybackTiming, StopHoldsAndTheStartPositionPlaysFromThere) {
    MediaDevice device;
    device.open(path);
    device.play();
    sleepMs(200);
    device.stop();
    EXPECT_EQ(device.mode(), kModeStopped);
    int stopped = device.position();
    sleepMs(200);
    EXPECT_NEAR(device.position(), stopped, 2);
    device.setStartPosition(2000);
    device.play();
    EXPECT_TRUE(waitForMode(device, kModePlaying, 1000));
    sleepMs(300);
    EXPECT_NEAR(device.position(), 2300, kSlackMs);
}

TEST_P(PlaybackTiming, PlayAtTheEndStartsAgainFromTheBeginning) {
    MediaDevice device;
    device.open(path);
    int length = device.length();
    device.setStartPosition(length - 200);
    device.play();
    ASSERT_TRUE(waitForMode(device, kModeStopped, 2000));
    EXPECT_EQ(device.position(), length);
    device.play();
    EXPECT_TRUE(waitForMode(device, kModePlaying, 1000));
    sleepMs(300);
    EXPECT_NEAR(device.position(), 300, kSlackMs);
}

INSTANTIATE_TEST_SUITE_P(AllTypes, PlaybackTiming, ::testing::ValuesIn(test::musicTypes()),
                         test::musicTypeName);

TEST(PlaybackTiming, TruncatedMp3PlaysWhatIsThereAndStops) {
    test::TempDir dir;
    std::string path = dir.file("cut.mp3");
    ASSERT_TRUE(test::writeTone(path, 1000));
    std::string bytes = test::readFile(path);
    test::writeFile(path, bytes.substr(0, bytes.size() / 2 + 77));
    MediaDevice device;
    device.open(path);
    int length = device.length();
    device.play();
    ASSERT_TRUE(waitForMode(device, kModeStopped, length + 2000));
    EXPECT_EQ(device.position(), device.length());
}

TEST(PlaybackTiming, AudioOutputThatFailsGivesWayToASilentSinkThatKeepsTime) {
    test::TempDir dir;
    std::string path = dir.file("tone.wav");
    ASSERT_TRUE(test::writeTone(path, 2000));
    std::string configured =
        std::getenv("ORBAKARAOKE_AUDIO_SINK") ? std::getenv("ORBAKARAOKE_AUDIO_SINK") : "";
    setenv("ORBAKARAOKE_AUDIO_SINK", "alsasink device=orba-no-such-device", 1);
    MediaDevice device;
    EXPECT_NO_THROW(device.open(path)) << device.errorText();
    setenv("ORBAKARAOKE_AUDIO_SINK", configured.c_str(), 1);
    auto start = std::chrono::steady_clock::now();
    device.play();
    sleepMs(500);
    EXPECT_NEAR(device.position(), msSince(start), kSlackMs);
}

}  // namespace
}  // namespace orba
