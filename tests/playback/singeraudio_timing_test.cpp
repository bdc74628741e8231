// The singer's controls changed while a song plays, heard in real time: the
// change is there soon after the call, the music goes on without a gap, and
// the position stays the song's time.
#include <gtest/gtest.h>

#include <cstdlib>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/playback/soundcapture.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba::test {
namespace {

constexpr double kA4 = 440.0;
constexpr double kB4 = 493.883;
constexpr int kSongMs = 3000;
constexpr int kSlackMs = 100;  // how far the position may stray on a busy machine
constexpr double kLongestGapMs = 50;

bool waitForPosition(MediaDevice& device, int ms, int timeoutMs) {
    auto start = std::chrono::steady_clock::now();
    while (device.position() < ms) {
        if (msSince(start) > timeoutMs) return false;
        sleepMs(5);
    }
    return true;
}

class LiveSinger : public ::testing::Test {
protected:
    void TearDown() override { ::unsetenv("ORBAKARAOKE_AUDIO_SINK"); }
    void recordInRealTime() {
        ::setenv("ORBAKARAOKE_AUDIO_SINK", captureSink(recording, true).c_str(), 1);
    }
    StereoSound stopAndListen() {
        EXPECT_TRUE(waitForMode(device, kModeStopped, 15000));
        device.close();
        return readWav(recording);
    }

    TempDir dir;
    std::string recording = dir.file("heard.wav");
    MediaDevice device;
};

TEST_F(LiveSinger, TheKeyGoesUpAndBackWhilePlayingWithoutAGap) {
    std::string music = dir.file("song.wav");
    ASSERT_TRUE(writeSound(music, sine(kA4, kSongMs)));
    recordInRealTime();
    device.open(music);
    device.play();
    ASSERT_TRUE(waitForPosition(device, 1000, 5000));
    device.setKey(2);
    ASSERT_TRUE(waitForPosition(device, 2000, 5000));
    device.setKey(0);
    StereoSound out = stopAndListen();
    EXPECT_NEAR(out.ms(), kSongMs, kSlackMs);  // nothing played twice, nothing lost
    EXPECT_NEAR(strongestHz(out.left, 200, 900, 300, 700), kA4, kA4 * 0.01);
    EXPECT_NEAR(strongestHz(out.left, 1300, 1900, 300, 700), kB4, kB4 * 0.01);
    EXPECT_NEAR(strongestHz(out.left, 2400, 2900, 300, 700), kA4, kA4 * 0.01);
    EXPECT_LT(longestSilenceMs(out, 100, static_cast<int>(out.ms()) - 100), kLongestGapMs);
}

TEST_F(LiveSinger, ChangesWhilePausedOrStoppedArriveWithTheMusic) {
    std::string music = dir.file("song.wav");
    ASSERT_TRUE(writeSound(music, sine(kA4, kSongMs)));
    recordInRealTime();
    device.open(music);
    device.play();
    ASSERT_TRUE(waitForPosition(device, 500, 5000));
    device.setKey(2);
    device.setVocalCut(true);  // the centred tone goes silent
    ASSERT_TRUE(waitForPosition(device, 1000, 5000));
    device.pauseToggle();
    device.setKey(0);  // while the music stands still
    device.setVocalCut(false);
    sleepMs(200);
    device.pauseToggle();
    ASSERT_TRUE(waitForMode(device, kModeStopped, 10000));
    StereoSound out = readWav(recording);
    EXPECT_NEAR(strongestHz(out.left, 1300, 2900, 300, 700), kA4, kA4 * 0.01);
    EXPECT_NEAR(levelDb(out.left, 1300, 2900, kA4), levelDb(out.left, 100, 400, kA4), 1);

    // Stopped at the end: the next play starts with the new key. (The
    // recording starts again with the seek.)
    device.setKey(-2);
    device.setStartPosition(2000);
    device.play();
    out = stopAndListen();
    const double kG4 = 391.995;
    EXPECT_NEAR(out.ms(), 1000, kSlackMs);
    EXPECT_NEAR(strongestHz(out.left, 100, 900, 300, 700), kG4, kG4 * 0.01);
}

TEST_F(LiveSinger, HalfTempoWhilePlayingStretchesTheRestAndKeepsTheSongTime) {
    std::string music = dir.file("song.ogg");
    ASSERT_TRUE(writeSound(music, sine(kA4, kSongMs)));
    recordInRealTime();
    device.open(music);
    device.play();
    ASSERT_TRUE(waitForPosition(device, 1000, 5000));
    const int changedAt = device.position();
    device.setTempo(50);
    auto start = std::chrono::steady_clock::now();
    sleepMs(1000);
    // A second of wall time is half a second of the song.
    EXPECT_NEAR(device.position() - changedAt, 500 + msSince(start) - 1000, kSlackMs);
    StereoSound out = stopAndListen();
    EXPECT_NEAR(out.ms(), changedAt + (kSongMs - changedAt) * 2, 2 * kSlackMs);
    EXPECT_NEAR(strongestHz(out.left, 2000, 4000, 300, 700), kA4, kA4 * 0.01);
    EXPECT_LT(longestSilenceMs(out, 100, static_cast<int>(out.ms()) - 100), kLongestGapMs);
}

TEST_F(LiveSinger, AMidiSongAtEightyPercentReportsSongTime) {
    MidiWriter w(480);
    w.program(0, 0, 0, 73).note(0, 0, 2880, 69, 0).endAt(0, 2880);
    std::string music = dir.file("song.mid");
    writeFile(music, w.bytes());
    ::setenv("ORBAKARAOKE_AUDIO_SINK", "fakesink sync=true", 1);
    device.open(music);
    device.play();
    ASSERT_TRUE(waitForPosition(device, 500, 5000));
    const int before = device.position();
    device.setTempo(80);
    auto start = std::chrono::steady_clock::now();
    sleepMs(1250);
    EXPECT_NEAR(device.position() - before, msSince(start) * 0.8, kSlackMs);
    ASSERT_TRUE(waitForMode(device, kModeStopped, 10000));
    EXPECT_EQ(device.position(), kSongMs);
}

TEST_F(LiveSinger, AMidiKeyChangeWhilePlayingIsHeardWithoutAGap) {
    MidiWriter w(480);
    w.program(0, 0, 0, 73).note(0, 0, 2880, 69, 0).endAt(0, 2880);
    std::string music = dir.file("song.mid");
    writeFile(music, w.bytes());
    recordInRealTime();
    device.open(music);
    device.play();
    ASSERT_TRUE(waitForPosition(device, 1000, 5000));
    device.setKey(2);
    StereoSound out = stopAndListen();
    EXPECT_NEAR(strongestHz(out.left, 300, 900, 300, 700), kA4, kA4 * 0.01);
    EXPECT_NEAR(strongestHz(out.left, 1500, 2700, 300, 700), kB4, kB4 * 0.01);
    EXPECT_LT(longestSilenceMs(out, 100, 2800), kLongestGapMs);
}

}  // namespace
}  // namespace orba::test
