#include "playback/waituntilplaying.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/midiwriter.h"

namespace orba {
namespace {

TEST(WaitUntilPlaying, ReturnsAtTheFirstPlayingAnswer) {
    int asked = 0;
    int slept = 0;
    bool playing = waitUntilPlaying([&] { return ++asked < 4 ? kModeNotReady : kModePlaying; },
                                    [&] { ++slept; });
    EXPECT_TRUE(playing);
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(slept, 3);
}

TEST(WaitUntilPlaying, GivesUpAfterAHundredQuestions) {
    int asked = 0;
    int slept = 0;
    EXPECT_FALSE(waitUntilPlaying([&] { return ++asked, kModePaused; }, [&] { ++slept; }));
    EXPECT_EQ(asked, 100);
    EXPECT_EQ(slept, 100);
}

TEST(WaitUntilPlaying, ASongThatHasEndedOrFailedEndsTheWait) {
    int asked = 0;
    int slept = 0;
    EXPECT_FALSE(waitUntilPlaying([&] { return ++asked < 3 ? kModeNotReady : kModeStopped; },
                                  [&] { ++slept; }));
    EXPECT_EQ(asked, 3);
    EXPECT_EQ(slept, 2);
}

// A MIDI file that holds only its end-of-track event is over as soon as it
// plays: once the device says so, the wait ends.
TEST(WaitUntilPlaying, AnEmptyMidiSongThatHasEndedIsNotWaitedFor) {
    test::TempDir dir;
    const std::string path = dir.file("empty.mid");
    test::MidiWriter w(480);
    w.endAt(0, 0);
    test::writeFile(path, w.bytes(0));
    MediaDevice device;
    device.open(path);
    EXPECT_EQ(device.length(), 0);
    device.play();
    // Long enough for the end of the song to reach the device.
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    int asked = 0;
    waitUntilPlaying([&] { return ++asked, device.mode(); },
                     [] { std::this_thread::sleep_for(std::chrono::milliseconds(100)); });
    EXPECT_LT(asked, 100);
}

}  // namespace
}  // namespace orba
