#include "lyrics/lyricload.h"

#include <gtest/gtest.h>

#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::sj;

Lines repeat(const std::string& line, int count, Lines lines = {}) {
    for (int i = 0; i < count; ++i) lines.push_back(line);
    return lines;
}

struct CensusCase {
    const char* what;
    Lines lines;
    int tagType;
};

void PrintTo(const CensusCase& c, std::ostream* os) {
    *os << c.what;
}

class TagType : public ::testing::TestWithParam<CensusCase> {};

TEST_P(TagType, NeedsMoreThanAThirdOfTheLines) {
    const Lines& lines = GetParam().lines;
    EXPECT_EQ(decideTagType(tagCensus(lines), lines.size()), GetParam().tagType) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Census, TagType,
    ::testing::Values(CensusCase{"4 of 9 with ]", repeat("x", 5, repeat("a]", 4)), 2},
                      CensusCase{"3 of 9 with ]", repeat("x", 6, repeat("a]", 3)), 1},
                      CensusCase{"karaoke tags", repeat("[00:01:00]a[00:02:00]b", 3), 3},
                      CensusCase{"karaoke and ukagaka", repeat("[00:01:00]a[00:02:00]\\hb", 3), 4},
                      CensusCase{"backslash and [ without ]", repeat("a[\\h", 6), 1},
                      // waits in time-tagged lines make an ukagaka file even without "["
                      CensusCase{"backslash without [", repeat("[00:01:00]\\w5a", 6), 4},
                      // the first character is not looked at
                      CensusCase{"] only first", repeat("]abc", 6), 1},
                      // ー ends in "[": with "]" the lines are time-tagged, not karaoke
                      CensusCase{"ー is no [", repeat(sj("ラーメン]"), 6), 2},
                      CensusCase{"ー first is no [", repeat(sj("ーab]"), 6), 2},
                      CensusCase{"ソ is no backslash", repeat(sj("[00:01:00]a[00:02:00]ソ"), 6), 3},
                      // at most 256 bytes from the second on
                      CensusCase{"] at byte 257", repeat(std::string(256, 'a') + "]", 3), 2},
                      CensusCase{"] at byte 258", repeat(std::string(257, 'a') + "]", 3), 1},
                      CensusCase{"no lines", {}, 1}));

TEST(TimeRatio, FirstLineNamedTimeRatioInAnyCaseGivesTheValue) {
    EXPECT_DOUBLE_EQ(readTimeRatio({"a", "@TimeRatio=1.05"}), 1.05);
    EXPECT_DOUBLE_EQ(readTimeRatio({"@timeratio=0.5", "@TimeRatio=2"}), 0.5);
    EXPECT_DOUBLE_EQ(readTimeRatio({"@TimeRatio= 2e-1 "}), 0.2);
    EXPECT_DOUBLE_EQ(readTimeRatio({"@TimeRatio=+3"}), 3.0);
    EXPECT_DOUBLE_EQ(readTimeRatio({"@TimeRatio=-.5"}), -0.5);
    EXPECT_DOUBLE_EQ(readTimeRatio({"a", "@TimeRatio"}), 1.0);
    EXPECT_DOUBLE_EQ(readTimeRatio({"@TimeRatio =2"}), 1.0);
    EXPECT_DOUBLE_EQ(readTimeRatio({}), 1.0);
}

TEST(TimeRatio, ValueThatIsNoNumberRaisesTheConversionError) {
    for (const char* bad : {"abc", "", "1.0x", "inf", "nan", "1,5", "1e999"}) {
        try {
            readTimeRatio({std::string("@TimeRatio=") + bad});
            ADD_FAILURE() << bad << " was accepted";
        } catch (const ConversionError& e) {
            EXPECT_EQ(std::string(e.what()),
                      std::string("'") + bad + "' は浮動小数点数ではありません");
        }
    }
    try {
        readTimeRatio({"@TimeRatio=" + sj("速い")});
        ADD_FAILURE();
    } catch (const ConversionError& e) {
        EXPECT_EQ(std::string(e.what()), "'速い' は浮動小数点数ではありません");
    }
}

struct TimesCase {
    const char* what;
    Lines lines;  // the end line included
    LineTimeInput in;
    Lines times;
};

void PrintTo(const TimesCase& c, std::ostream* os) {
    *os << c.what;
}

class LineTimes : public ::testing::TestWithParam<TimesCase> {};

TEST_P(LineTimes, SpreadsTimesEvenlyBetweenAnchors) {
    EXPECT_EQ(lineTimes(GetParam().lines, GetParam().in), GetParam().times) << GetParam().what;
}

const Lines kTimed = {"[00:10:00]a", "b", "c", "[00:40:00]d", ""};
const Lines kPlain = {"a", "b", "c", "d", ""};

INSTANTIATE_TEST_SUITE_P(
    Anchors, LineTimes,
    ::testing::Values(
        TimesCase{"timed, no music",
                  kTimed,
                  {false, 0},
                  {"[00:10:00]", "[00:20:00]", "[00:30:00]", "[00:40:00]", "[00:43:00]"}},
        TimesCase{"timed, music",
                  kTimed,
                  {true, 60000},
                  {"[00:10:00]", "[00:20:00]", "[00:30:00]", "[00:40:00]", "[01:00:00]"}},
        TimesCase{"plain, no music",
                  kPlain,
                  {false, 0},
                  {"[00:00:00]", "[00:03:75]", "[00:07:50]", "[00:11:25]", "[00:15:00]"}},
        TimesCase{"plain, music",
                  kPlain,
                  {true, 200000},
                  {"[00:00:00]", "[00:50:00]", "[01:40:00]", "[02:30:00]", "[03:20:00]"}},
        TimesCase{"before the first anchor",
                  {"x", "[00:09:00]y", ""},
                  {false, 0},
                  {"[00:00:00]", "[00:09:00]", "[00:12:00]"}},
        TimesCase{"nine-character tag",
                  {"[00:10:00]a", "[0:15:00]b", "[00:30:00]c", ""},
                  {false, 0},
                  {"[00:10:00]", "[00:20:00]", "[00:30:00]", "[00:33:00]"}},
        // truncating divisions before the multiplication
        TimesCase{"uneven",
                  {"[00:00:00]a", "b", "c", "[00:00:10]d", ""},
                  {false, 0},
                  {"[00:00:00]", "[00:00:03]", "[00:00:06]", "[00:00:10]", "[00:03:10]"}},
        // a last line with "[" and "]" gives its own time, tenth byte or not
        TimesCase{
            "tagged last line", {"a", "[1:00:00]"}, {true, 5000}, {"[00:00:00]", "[01:00:00]"}},
        TimesCase{"only the end line", {""}, {false, 0}, {"[00:03:00]"}},
        TimesCase{"no lines", {}, {false, 0}, {}},
        TimesCase{"huge anchor",
                  {"a", "[9999999999:00:00]"},
                  {false, 0},
                  {"[00:00:00]", "[35791:23:64]"}}));

TEST(PrepareLyrics, TimeTaggedFileLosesItsDirectivesAndGetsAnEndLine) {
    LyricText t = prepareLyrics(
        {"@TimeRatio=1.05", "[00:10:00]a", "", "// c", "--------", "-------b]", "[00:20:00]b"},
        {true, false, 0, false});
    EXPECT_DOUBLE_EQ(t.timeRatio, 1.05);
    EXPECT_EQ(t.tagType, 2);
    EXPECT_EQ(t.lyricLines, (Lines{"[00:10:00]a", "-------b]", "[00:20:00]b", ""}));
    EXPECT_EQ(t.lineTimes, (Lines{"[00:10:00]", "[00:15:00]", "[00:20:00]", "[00:23:00]"}));
}

TEST(PrepareLyrics, PlainFileKeepsEveryLine) {
    LyricText t = prepareLyrics({"@TimeRatio=1.05", "a", "", "// c"}, {true, true, 8000, false});
    EXPECT_DOUBLE_EQ(t.timeRatio, 1.05);
    EXPECT_EQ(t.tagType, 1);
    EXPECT_EQ(t.lyricLines, (Lines{"@TimeRatio=1.05", "a", "", "// c", ""}));
    EXPECT_EQ(t.lineTimes.back(), "[00:08:00]");
    EXPECT_EQ(t.lineTimes.size(), t.lyricLines.size());
}

TEST(PrepareLyrics, WithoutAMessageFileThereAreNoLines) {
    LyricText t = prepareLyrics({"ignored"}, {false, true, 1000, false});
    EXPECT_EQ(t.tagType, 0);
    EXPECT_TRUE(t.lyricLines.empty());
    EXPECT_TRUE(t.lineTimes.empty());
    EXPECT_EQ(prepareLyrics({}, {false, true, 1000, true}).lineTimes, Lines{"[00:00:00]"});
}

TEST(PrepareLyrics, EditModeRetagsTheFirstLineAtZero) {
    LyricText t = prepareLyrics({"[00:40:00]abc", "[00:50:00]def"}, {true, true, 60000, true});
    EXPECT_EQ(t.lyricLines, (Lines{"[00:00:00]abc", "[00:50:00]def", ""}));
    EXPECT_EQ(t.lineTimes, Lines{"[00:00:00]"});

    // everything up to the first "]" goes; the second byte of ‐ is no "]"
    Lines untagged = {"\x81]ab]c", "b"};
    prepareTimeEditMode(untagged);
    EXPECT_EQ(untagged.front(), "[00:00:00]c");
    Lines noClose = {sj("ラー"), "b"};
    prepareTimeEditMode(noClose);
    EXPECT_EQ(noClose.front(), "[00:00:00]" + sj("ラー"));
}

}  // namespace
}  // namespace orba
