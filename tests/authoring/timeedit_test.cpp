#include "authoring/timeedit.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "lyrics/lyricload.h"
#include "lyrics/timevalue.h"
#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

// The song's lines as the player holds them, and the mode's own state.
struct EditedSong {
    TimeEditState edit;
    Lines lyricLines;
    Lines lineTimes;
    int currentLine = -1;
    bool isMidi = false;
};

// The state a song load in the mode leaves, once its first line is shown.
EditedSong editState(Lines lines) {
    EditedSong s;
    s.edit.timeEditMode = true;
    lines.emplace_back();
    s.lineTimes = prepareTimeEditMode(lines);
    s.lyricLines = std::move(lines);
    s.currentLine = 0;
    return s;
}

// The keys as the player runs them.
bool setAndNext(EditedSong& s, int tapTime) {
    return setAndNext(s.edit, s.lyricLines, s.lineTimes, tapTime);
}

std::optional<int> backAndRewind(EditedSong& s) {
    const std::optional<Rewind> r =
        backAndRewind(s.edit, s.lyricLines, s.lineTimes, s.isMidi, s.currentLine);
    if (!r) return std::nullopt;
    s.currentLine = r->currentLine;
    return r->position;
}

// What the keys see of a drawn frame at lyric time `now`: the current line
// steps at most one line towards the times, and the guard is set again.
void drawFrame(EditedSong& s, int now) {
    const int count = static_cast<int>(s.lineTimes.size());
    auto start = [&](int i) { return std::max(0, readTimeValue(s.lineTimes[i]) - 390); };
    if (s.currentLine + 1 < count && now >= start(s.currentLine + 1))
        ++s.currentLine;
    else if (s.currentLine > 0 && s.currentLine < count && now < start(s.currentLine))
        --s.currentLine;
    s.edit.editFrameDrawn = true;
}

void tap(EditedSong& s, int at) {
    ASSERT_TRUE(setAndNext(s, at));
    drawFrame(s, at + 15);
}

TEST(RetagLine, ReplacesOnlyAnOldTimeTag) {
    const std::pair<const char*, const char*> cases[] = {
        {"[00:40:00]abc", "[01:05:30]abc"},
        {"", "[01:05:30]"},
        {"[0:10:00]abc", "[01:05:30]abc"},
        {"[00:10:00]か[00:10:50]ら", "[01:05:30]か[00:10:50]ら"},
        {"[abc", "[01:05:30][abc"},  // "[" without "]": the line stays whole
        {"[00:4", "[01:05:30][00:4"},
        {"[サビ]夕焼け", "[01:05:30][サビ]夕焼け"},  // words and colours are the author's
        {"[#FF0000]abc", "[01:05:30][#FF0000]abc"},
        {"[#FF0000][00:40:00]abc", "[01:05:30][#FF0000]abc"}};
    for (auto [line, tagged] : cases)
        EXPECT_EQ(retagLine(test::sj(line), "[01:05:30]"), test::sj(tagged)) << line;
}

TEST(SetAndNext, TagsTheNextLineWithTheTapTimeButNeverTheEndEntry) {
    EditedSong s = editState({"x", "y", "z", "[00:40:00]abc"});
    tap(s, -40);  // a position not known yet counts as 0
    tap(s, 20000);
    EXPECT_TRUE(setAndNext(s, 65300));
    drawFrame(s, 65315);
    EXPECT_FALSE(setAndNext(s, 66000));
    EXPECT_EQ(s.lyricLines,
              (Lines{"[00:00:00]x", "[00:00:00]y", "[00:20:00]z", "[01:05:30]abc", ""}));
    EXPECT_EQ(s.lineTimes, (Lines{"[00:00:00]", "[00:00:00]", "[00:20:00]", "[01:05:30]"}));
}

TEST(EditKeys, ActAtMostOncePerDrawnFrame) {
    EditedSong s = editState({"a", "b", "c", "d"});
    EXPECT_TRUE(setAndNext(s, 1000));
    EXPECT_FALSE(setAndNext(s, 1010));
    EXPECT_FALSE(backAndRewind(s));
    EXPECT_EQ(s.lineTimes.size(), 2u);
    drawFrame(s, 1015);
    EXPECT_TRUE(setAndNext(s, 1020));
    drawFrame(s, 1030);
    EXPECT_EQ(backAndRewind(s), 1000);
    EXPECT_FALSE(backAndRewind(s));
}

// Held keys (S Space, B Backspace), seeks back (<) and frames (.) in a fixed
// jumble: the tagged lines are always lines 0 .. lineTimes.size() - 1, each
// with its own entry, and the lines after them are as the file had them.
TEST(EditKeys, KeepOneTimeEntryPerTaggedLineWhateverTheOrder) {
    const Lines file = {"l0", "l1", "l2", "l3", "l4", "l5", "l6", "l7"};
    EditedSong s = editState(file);
    int music = 0, tags = 0, rewinds = 0;
    const std::string events = "S.SS.B.S<.SBB..S.S.SS.S..<<.B.S";
    for (int round = 0; round < 12; ++round) {
        for (char e : events) {
            if (e == 'S') tags += setAndNext(s, music);
            if (e == 'B') {
                if (std::optional<int> p = backAndRewind(s)) music = *p, ++rewinds;
            }
            if (e == '<') music = std::max(0, music - 2500);
            if (e == '.') drawFrame(s, music += 400);
            const std::size_t tagged = s.lineTimes.size();
            ASSERT_TRUE(tagged >= 1 && tagged < s.lyricLines.size());
            for (std::size_t i = 0; i < file.size(); ++i)
                ASSERT_EQ(s.lyricLines[i], (i < tagged ? s.lineTimes[i] : "") + file[i]);
            ASSERT_EQ(s.lyricLines.back(), "");
        }
    }
    EXPECT_GT(tags, 20);
    EXPECT_GT(rewinds, 20);
}

TEST(BackAndRewind, UntagsTheCurrentLineAndReplaysTheOneBefore) {
    EditedSong s = editState({"l0", "l1", "l2", "l3", "l4", "l5"});
    EXPECT_EQ(backAndRewind(s), 0);  // on line 0 only the music restarts
    drawFrame(s, 15);
    for (int t : {10000, 20000, 58100, 65300}) tap(s, t);
    ASSERT_EQ(s.currentLine, 4);
    EXPECT_EQ(backAndRewind(s), 58100);
    EXPECT_EQ(s.currentLine, 3);
    EXPECT_EQ(s.lyricLines[4], "l4");
    EXPECT_EQ(s.lineTimes.size(), 4u);

    s.isMidi = true;
    drawFrame(s, 58115);
    EXPECT_FALSE(backAndRewind(s));
    s.isMidi = false;
    s.currentLine = -1;
    EXPECT_FALSE(backAndRewind(s));
    EXPECT_EQ(s.lyricLines[3], "[00:58:10]l3");
}

}  // namespace
}  // namespace orba
