#include "lyrics/singerclock.h"

#include <gtest/gtest.h>

#include <climits>

#include "lyrics/timeline.h"

namespace orba {
namespace {

// Runs the MIDI clock over `frames` frames of `dt` ms each, then one of `last` ms.
int clockAfter(int frames, int dt, int tempo, int last = 0) {
    int songTime = 0;
    int carry = 0;
    for (int i = 0; i <= frames; ++i) {
        ScaledStep step = scaledElapsed(i < frames ? dt : last, tempo, carry);
        songTime += step.ms;
        carry = step.carry;
    }
    return songTime;
}

TEST(SingerClock, AtEightyPercentTenSecondsOfSongTakeTwelveAndAHalfOfWallTime) {
    // 15 and 16 ms frames: four fifths of either is not a whole millisecond.
    EXPECT_EQ(clockAfter(12500 / 16, 16, 80, 12500 % 16), 10000);
    EXPECT_EQ(clockAfter(1000, 15, 80), 12000);
    EXPECT_EQ(clockAfter(1000, 17, 135), 22950);
}

TEST(SingerClock, NeutralTempoIsTheWallClockAndNoTimeMovesNothing) {
    EXPECT_EQ(clockAfter(333, 15, 100), 4995);
    ScaledStep none = scaledElapsed(0, 80, 40);
    EXPECT_EQ(none.ms, 0);
    EXPECT_EQ(none.carry, 40);
    EXPECT_EQ(scaledElapsed(INT_MAX, 150, 0).ms, INT_MAX);  // a wild frame saturates
}

TEST(SingerClock, TheLyricOffsetDelaysTheLyricsLikeTheTextTiming) {
    // A line tagged at 10.00 s with +150 ms offset: the lyric clock reaches
    // 10000 when the song is at 10150.
    EXPECT_EQ(lyricTimeOf(10150, 1.0f, lyricTextTiming(0, 150)), 10000);
    EXPECT_EQ(lyricTimeOf(10000, 1.0f, lyricTextTiming(500, -500)), 10000);
    EXPECT_EQ(lyricTextTiming(INT_MAX, 5000), INT_MAX);
    EXPECT_EQ(lyricTextTiming(INT_MIN, -5000), INT_MIN);
}

}  // namespace
}  // namespace orba
