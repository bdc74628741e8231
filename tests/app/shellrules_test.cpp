#include "app/shellrules.h"
#include "effects/seasondate.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace orba {
namespace {

TEST(SeasonMode, ChristmasRunsFromThe23rdToThe25thAndNewYearIsOneDay) {
    struct Case {
        int mmdd, mode;
    } cases[] = {{1222, 0}, {1223, 4}, {1224, 4}, {1225, 4}, {1226, 0},
                 {1231, 0}, {101, 1},  {102, 0},  {1101, 0}, {1010, 0}};
    for (const Case& c : cases) EXPECT_EQ(seasonModeFor(c.mmdd), c.mode) << c.mmdd;
}

TEST(SeasonMode, TheTestDateStandsInForTheClock) {
    ::setenv("ORBAKARAOKE_TODAY", "1224", 1);
    EXPECT_EQ(todayMmdd(), 1224);
    ::setenv("ORBAKARAOKE_TODAY", "0101", 1);
    EXPECT_EQ(todayMmdd(), 101);
    ::setenv("ORBAKARAOKE_TODAY", "bad", 1);
    int real = todayMmdd();
    EXPECT_GE(real, 101);
    EXPECT_LE(real, 1231);
    ::unsetenv("ORBAKARAOKE_TODAY");
}

TEST(FullScreenCursor, HidesOnlyInFullScreenWhileTheMouseRests) {
    CursorInputs still{true, true, 10, 10, 10, 10};
    EXPECT_TRUE(cursorHidden(still));
    CursorInputs moved = still;
    moved.mouseX = 11;
    EXPECT_FALSE(cursorHidden(moved));
    CursorInputs windowed = still;
    windowed.borderNone = false;
    EXPECT_FALSE(cursorHidden(windowed));
    CursorInputs notMaximised = still;
    notMaximised.maximised = false;
    EXPECT_FALSE(cursorHidden(notMaximised));
    // Just come into full screen: the mouse was not followed before, so the
    // arrow stays for this frame even where the position would match.
    CursorInputs justFullScreen = still;
    justFullScreen.previousKnown = false;
    EXPECT_FALSE(cursorHidden(justFullScreen));
}

TEST(FullScreenMenus, ShowOnlyInTheTopTwoRows) {
    EXPECT_TRUE(menusShownAtMouseY(0));
    EXPECT_TRUE(menusShownAtMouseY(1));
    EXPECT_FALSE(menusShownAtMouseY(2));
}

}  // namespace
}  // namespace orba
