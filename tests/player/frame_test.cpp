// The frame as a whole, with the music's readings set by the test: when
// frames are drawn, the player's clocks, the end of the song and the order in
// which a frame judges its line.
#include "lyrics/frame.h"

#include <gtest/gtest.h>

#include "tests/support/framedriver.h"

namespace orba {
namespace {

// The readings and counters under the names the cases use.
struct Hooks {
    test::FrameDriver& d;
    int& position;
    int& mode;
    int& pictures;
    int& ends;
    explicit Hooks(test::FrameDriver& driver)
        : d(driver),
          position(driver.music.position),
          mode(driver.music.mode),
          pictures(driver.pictures),
          ends(driver.ends) {}
};

struct Song {
    Settings s;
    PlayerState st;
    test::FrameDriver driver;
    Hooks hooks{driver};
    FrameLoop& loop = driver.loop;
    Bitmap back;
    unsigned now = 1000;

    Song() {
        s.useMessage = true;
        st.lyricLines = {"[00:01:00]one", "[00:02:00]two", ""};
        st.lineTimes = {"[00:01:00]", "[00:02:00]", "[00:05:00]"};
        st.tagType = 2;
        driver.tick(back, 200, 150, now, s, st);  // restarts the clock
    }
    bool frame(int dt = 15, int cw = 200, int ch = 150) {
        now += dt;
        return driver.tick(back, cw, ch, now, s, st);
    }
};

TEST(FrameClock, RestartsAfterALoadOrAWrapAndCountsNoEmptyTick) {
    struct Case {
        unsigned lastTick, now;
        std::optional<int> dt;
    };
    const Case cases[] = {
        {0, 5000, std::nullopt},       // a song load asked for a restart
        {5000, 4000, std::nullopt},    // the 32-bit tick count wrapped
        {5000, 5000, std::nullopt},    // no time passed
        {5000, 5015, 15},              // a frame later
        {1, 0xFFFFFFFFu, 0x7FFFFFFF},  // at most the largest int
    };
    for (const Case& c : cases) {
        unsigned lastTick = c.lastTick;
        EXPECT_EQ(frameClock(c.now, lastTick), c.dt) << c.lastTick << " -> " << c.now;
        EXPECT_EQ(lastTick, c.now);  // the next tick counts from this one
    }
}

TEST(FrameClock, PrimedWhenTheTimerStartsItsFirstTickDrawsAndARunningClockKeepsCounting) {
    unsigned lastTick = 0;  // a song load asked for a restart
    primeFrameClock(5000, lastTick);
    EXPECT_EQ(frameClock(5015, lastTick), 15);
    // The timer started again while the clock runs: the next tick still
    // counts from the last one.
    primeFrameClock(5020, lastTick);
    EXPECT_EQ(lastTick, 5015u);
    EXPECT_EQ(frameClock(5030, lastTick), 15);
}

TEST(FrameLoop, TheFirstTickAfterALoadOnlyRestartsTheClock) {
    Song song;
    EXPECT_EQ(song.hooks.pictures, 0);
    EXPECT_EQ(song.st.lastTick, 1000u);
    EXPECT_TRUE(song.frame());
    EXPECT_EQ(song.hooks.pictures, 1);
    EXPECT_EQ(song.loop.values().dt, 15);
    EXPECT_EQ(song.back.width(), 200);
}

TEST(FrameLoop, NothingIsDrawnWhileMinimisedAndTheClockCatchesUpAfter) {
    Song song;
    song.s.useMessage = false;
    song.s.useBgm = true;
    song.st.isMidi = true;
    song.st.songLength = 100000;
    EXPECT_TRUE(song.frame());
    EXPECT_FALSE(song.frame(15, 0, 0));
    EXPECT_FALSE(song.frame(5000, 0, 0));
    EXPECT_EQ(song.st.songTime, 15);
    EXPECT_TRUE(song.frame(15));
    EXPECT_EQ(song.loop.values().dt, 5030);  // the whole time minimised
    EXPECT_EQ(song.st.songTime, 15 + 5030);
}

TEST(FrameLoop, AMidiSongsClockStandsStillUnlessPlaying) {
    Song song;
    song.s.useBgm = true;
    song.st.isMidi = true;
    song.st.songLength = 100000;
    song.frame();
    song.hooks.mode = 5;  // paused
    song.frame();
    EXPECT_EQ(song.st.songTime, 15);
}

TEST(FrameLoop, RecordedMusicTakesTheDevicesPosition) {
    Song song;
    song.s.useBgm = true;
    song.st.songLength = 100000;
    song.hooks.position = 1234;
    song.frame();
    EXPECT_EQ(song.st.songTime, 1234);
}

TEST(FrameLoop, LyricsWithoutMusicEndAtTheLastLineTimeAndStartAgain) {
    Song song;
    for (int i = 0; i < 400 && song.hooks.ends == 0; ++i) song.frame(15);
    EXPECT_EQ(song.st.songLength, 5000);
    EXPECT_EQ(song.hooks.ends, 1);
    EXPECT_EQ(song.st.songTime, 0);
}

TEST(FrameLoop, WithoutASongLengthTheEndStepRunsEveryFrame) {
    Song song;
    song.s.useMessage = false;
    song.s.useBgm = true;
    song.frame();
    song.frame();
    EXPECT_EQ(song.hooks.ends, 2);
}

TEST(FrameLoop, TheEditModeNeverEndsTheSong) {
    Song song;
    song.st.timeEdit.timeEditMode = true;
    song.s.useBgm = true;
    song.frame();
    EXPECT_EQ(song.hooks.ends, 0);
}

TEST(FrameLoop, TheNewLineOfAForwardStepIsDrawnFromTheNextFrame) {
    Song song;
    song.s.useBgm = true;
    song.st.songLength = 100000;
    song.hooks.position = 700;
    song.frame();
    EXPECT_EQ(song.st.currentLine, 0);
    song.hooks.position = 1700;  // beyond line 0's end at 1610
    song.now += 15;
    ASSERT_TRUE(song.loop.beginFrame(song.back, 200, 150));
    const std::optional<int> dt = frameClock(song.now, song.st.lastTick);
    ASSERT_TRUE(dt);
    const LyricClock clock = clockStep(song.s, song.st, *dt, song.driver.music);
    const LyricFrame lf = song.loop.lyricStep(song.s, lyricViewOf(song.st), clock.lyricTime);
    EXPECT_EQ(lf.currentLine, 1);
    EXPECT_FALSE(lf.drawn);
    song.st.currentLine = lf.currentLine;
    song.frame();
    EXPECT_EQ(song.loop.caches().currentText, "two");
}

TEST(FrameLoop, AReloadedSongShowsItsOwnLinesAtTheSameLineAndLength) {
    // The next song of a folder of equal songs, or the same song entering the
    // edit mode with the debug overlay already on: same line, same length.
    for (bool editMode : {false, true}) {
        Song song;
        song.s.useBgm = true;
        song.st.songLength = 100000;
        song.hooks.position = 700;
        song.st.debugMode = true;
        song.frame();
        song.frame();  // line 0 is drawn from the frame after it became current
        ASSERT_EQ(song.st.currentLine, 0);
        ASSERT_EQ(song.loop.caches().currentText, "one");
        song.st.lyricLines = {"[00:00:00]uno", "[00:02:00]dos", ""};
        song.st.timeEdit.timeEditMode = editMode;
        song.st.currentLine = -1;
        song.loop.songLoaded();
        song.frame();
        song.frame();
        EXPECT_EQ(song.loop.caches().currentText, editMode ? "[00:00:00]uno" : "uno");
        EXPECT_EQ(song.loop.caches().nextText, editMode ? "[00:02:00]dos" : "dos");
    }
}

TEST(FrameLoop, AKeyPressIsOnScreenOnTheNextFrame) {
    Song song;
    song.frame();
    song.st.statusMessage = "PAUSE";
    song.frame();
    int lit = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 60; ++x) lit += song.back.canvas().pixel(x, y) != 0;
    EXPECT_GT(lit, 10);
}

}  // namespace
}  // namespace orba
