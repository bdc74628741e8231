#include "lyrics/timeline.h"

#include <gtest/gtest.h>

#include "lyrics/currentline.h"

namespace orba {
namespace {

using Times = std::vector<std::string>;

// Runs the timeline frame by frame from the load until `until`, one lyric ms
// per step, and returns the lyric time at which each line became current.
std::vector<int> changeTimes(const Times& times, int until) {
    std::vector<int> at;
    int current = -1;
    for (int t = 0; t <= until; ++t) {
        const int before = current;
        current = stepTimeline(current, t, times).currentLine;
        if (current != before) at.push_back(t);
    }
    return at;
}

TEST(LyricClock, ScalesByTheRatioThenSubtractsTheTiming) {
    EXPECT_EQ(lyricTimeOf(10000, 2.0f, 0), 20000);
    EXPECT_EQ(lyricTimeOf(10000, 1.0f, 500), 9500);
    EXPECT_EQ(lyricTimeOf(1000, 1.05f, 0), 1049);  // the 32-bit ratio is a hair below 1.05
    EXPECT_EQ(lyricTimeOf(100, 1.0f, 500), -400);
    EXPECT_EQ(lyricTimeOf(2000000000, 4.0f, 0), 2147483647);  // saturates, never wraps
}

TEST(Timeline, EachLineBecomesCurrent390MsBeforeItsTime) {
    EXPECT_EQ(changeTimes({"[00:10:00]", "[00:20:00]", "[00:23:00]"}, 20000),
              (std::vector<int>{9610, 19610}));
}

TEST(Timeline, TheFirstLineStartsAtZeroWhateverItsTime) {
    const TimelineStep s = stepTimeline(0, 16000, {"[00:15:00]", "[00:20:00]", "[00:25:00]"});
    EXPECT_EQ(s.lineStart, 0);
    EXPECT_EQ(s.lineEnd, 19610);
    EXPECT_EQ(s.lineDuration, 19610);
    const LineMotion m = lineMotion(s.lineStart, s.lineEnd, s.lineDuration, 15000, false);
    EXPECT_EQ(m.transitionTime, 300);
    EXPECT_EQ(m.lineOpacity, 100);    // shown at once, without an entry
    EXPECT_EQ(m.lineProgress, 7732);  // already about three quarters through
}

TEST(Timeline, MovesAtMostOneLinePerFrameBackwardsAndForwards) {
    Times times;
    for (int i = 0; i < 50; ++i) times.push_back("[00:" + std::to_string(10 + i) + ":00]");
    int current = 40;
    int frames = 0;
    while (current > 0) {
        const int next = stepTimeline(current, 0, times).currentLine;
        ASSERT_EQ(next, current - 1);
        current = next;
        ++frames;
    }
    EXPECT_EQ(frames, 40);
    EXPECT_EQ(stepTimeline(0, 60000, times).currentLine, 1);
}

TEST(Timeline, ValuesAreThoseBeforeTheStep) {
    const Times times{"[00:01:00]", "[00:02:00]", "[00:03:00]"};
    const TimelineStep s = stepTimeline(0, 1700, times);  // reaches line 1's start
    EXPECT_EQ(s.currentLine, 1);
    EXPECT_EQ(s.lineEnd, 1610);  // still line 0's end: the new line waits a frame
}

TEST(LineMotion, EntersAndLeavesOverATenthOfTheLineAtMost300Ms) {
    // A line of 2000 ms starting at 1000.
    const auto at = [](int t) { return lineMotion(1000, 3000, 2000, t, false); };
    EXPECT_EQ(at(1100).transitionTime, 200);
    EXPECT_DOUBLE_EQ(at(1100).lineOpacity, 50);
    EXPECT_DOUBLE_EQ(at(1100).lineShift, 0.5);
    EXPECT_DOUBLE_EQ(at(2900).lineOpacity, 50);
    EXPECT_DOUBLE_EQ(at(2900).lineShift, -0.5);
    EXPECT_TRUE(at(2900).leaving);
    EXPECT_DOUBLE_EQ(at(2000).lineOpacity, 100);
    EXPECT_DOUBLE_EQ(at(2000).lineShift, 0);
    EXPECT_EQ(at(1200).lineProgress, 0);
    EXPECT_EQ(at(2000).lineProgress, 5000);
    EXPECT_EQ(at(2800).lineProgress, 10000);
    EXPECT_EQ(lineMotion(0, 20000, 20000, 100, false).transitionTime, 300);
}

TEST(LineMotion, NoTransitionForAVeryShortLineOrInTheEditMode) {
    const LineMotion tiny = lineMotion(1000, 1005, 5, 1002, false);
    EXPECT_EQ(tiny.transitionTime, 0);
    EXPECT_DOUBLE_EQ(tiny.lineOpacity, 100);
    const LineMotion edit = lineMotion(1000, 3000, 2000, 1100, true);
    EXPECT_DOUBLE_EQ(edit.lineOpacity, 100);
    EXPECT_DOUBLE_EQ(edit.lineShift, 0);
}

TEST(CurrentLine, ATimeTaggedLineIsWipedEvenlyOverItsDuration) {
    LineCaches caches;
    refreshLineCaches(caches, {"[00:01:00]abc", "[00:05:00]def", ""}, {0, false, false, 5000});
    CurrentLineInput in;
    in.tagType = 2;
    in.lyricTime = 2000;
    in.timeline = stepTimeline(0, 2000, {"[00:01:00]", "[00:05:00]", "[00:09:00]"});
    CurrentLineValues v = currentLineValues(caches, in);
    EXPECT_TRUE(v.karaokeOn);
    EXPECT_EQ(v.karaoke.sungText, "abc");
    EXPECT_EQ(v.karaoke.segmentProgress, v.motion.lineProgress);
    EXPECT_GT(v.karaoke.segmentProgress, 0);

    in.timeForce = false;
    v = currentLineValues(caches, in);
    EXPECT_FALSE(v.karaokeOn);
    EXPECT_EQ(v.karaoke.sungText, "");
}

TEST(CurrentLine, AKaraokeLineLeavesFullySung) {
    LineCaches caches;
    const std::vector<std::string> lines{"[00:01:00]a[00:02:00]b[00:03:00]c", "[00:06:00]d", ""};
    refreshLineCaches(caches, lines, {0, false, false, 0});
    CurrentLineInput in;
    in.tagType = 3;
    in.lyricTime = 5500;  // inside the exit of a line that ends at 5610
    in.timeline = stepTimeline(0, 5500, {"[00:01:00]", "[00:06:00]", "[00:09:00]"});
    const CurrentLineValues v = currentLineValues(caches, in);
    EXPECT_TRUE(v.motion.leaving);
    EXPECT_EQ(v.karaoke.sungText, "abc");
    EXPECT_EQ(v.karaoke.restText, "");
}

TEST(LineCaches, RefilledOnlyWhenTheLineTheOverlayOrTheSongLengthChanges) {
    std::vector<std::string> lines{"[#FF0000]one", "two", "three", ""};
    LineCaches c;
    refreshLineCaches(c, lines, {0, false, false, 100});
    EXPECT_EQ(c.currentText, "one");
    EXPECT_EQ(c.currentColour, 0x0000FFu);
    EXPECT_EQ(c.previousText, "");
    EXPECT_EQ(c.nextText, "two");

    lines[0] = "changed";
    refreshLineCaches(c, lines, {0, false, false, 100});
    EXPECT_EQ(c.currentText, "one");  // same key: kept
    refreshLineCaches(c, lines, {0, false, false, 200});
    EXPECT_EQ(c.currentText, "changed");  // a new song length refills

    refreshLineCaches(c, lines, {2, false, false, 200});
    EXPECT_EQ(c.previousText, "two");
    EXPECT_EQ(c.nextText, "");  // the line after is the end line
}

}  // namespace
}  // namespace orba
