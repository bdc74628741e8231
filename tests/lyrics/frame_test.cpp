// The lyric frame's results, which the player takes back into its state:
// the current line after the step, and whether the edit marker was drawn.
#include "lyrics/frame.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

struct Lines {
    std::vector<std::string> lyricLines = {"[00:01:00]one", "[00:02:00]two", ""};
    std::vector<std::string> lineTimes = {"[00:01:00]", "[00:02:00]", "[00:05:00]"};
    std::string status;
    LyricView view(int currentLine, bool timeEditMode = false) const {
        return {.lyricLines = lyricLines,
                .lineTimes = lineTimes,
                .statusMessage = status,
                .currentLine = currentLine,
                .tagType = 2,
                .songLength = 100000,
                .timeEditMode = timeEditMode};
    }
};

TEST(LyricStep, WithoutLyricsTheCurrentLineStaysWhereThePlayerHadIt) {
    Lines l;
    Settings s;
    s.useMessage = false;
    FrameLoop loop;
    const LyricFrame lf = loop.lyricStep(s, l.view(1), 5000);
    EXPECT_EQ(lf.currentLine, 1);
    EXPECT_FALSE(lf.drawn);
}

TEST(LyricStep, StepsAtMostOneLineAndDrawsOnlyTheLineAlreadyCurrent) {
    Lines l;
    Settings s;
    s.useMessage = true;
    FrameLoop loop;
    // Far past line 1's start: one step forward, drawn from the next frame.
    LyricFrame lf = loop.lyricStep(s, l.view(-1), 3000);
    EXPECT_EQ(lf.currentLine, 0);
    lf = loop.lyricStep(s, l.view(0), 3000);
    EXPECT_EQ(lf.currentLine, 1);
    lf = loop.lyricStep(s, l.view(1), 3000);
    EXPECT_EQ(lf.currentLine, 1);
    EXPECT_TRUE(lf.drawn);
}

TEST(LyricDrawing, ReportsTheEditMarkerOnlyWhenTheModeDrewTheCurrentLine) {
    for (bool edit : {false, true}) {
        Lines l;
        Settings s;
        s.useMessage = true;
        FrameLoop loop;
        Bitmap back;
        ASSERT_TRUE(loop.beginFrame(back, 200, 150));
        loop.clockTicked(15, 1000);
        const LyricFrame lf = loop.lyricStep(s, l.view(0, edit), 500);
        ASSERT_TRUE(lf.drawn);
        EXPECT_EQ(loop.drawLyrics(back, s, l.view(lf.currentLine, edit), lf).editLineDrawn, edit);
    }
}

}  // namespace
}  // namespace orba
