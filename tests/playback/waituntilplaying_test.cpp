#include "playback/waituntilplaying.h"

#include <gtest/gtest.h>

#include "playback/mediadevice.h"

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

}  // namespace
}  // namespace orba
