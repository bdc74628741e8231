#include "lyrics/tags.h"

#include <gtest/gtest.h>

#include <climits>

#include "lyrics/timevalue.h"
#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using test::sj;

struct StripCase {
    const char* line;  // UTF-8, converted to Shift-JIS
    const char* shown;
};

void PrintTo(const StripCase& c, std::ostream* os) {
    test::printQuoted(c.line, os);
}

class StripTags : public ::testing::TestWithParam<StripCase> {};

TEST_P(StripTags, ShowsTheLineWithoutTimeAndUkagakaTags) {
    EXPECT_EQ(stripTags(sj(GetParam().line)), sj(GetParam().shown)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripTags,
    ::testing::Values(
        // the second byte of ー is "[", that of ソ is "\": neither is a tag
        StripCase{"[00:01:00]ラー[00:02:00]メン", "ラーメン"}, StripCase{"ソース\\h", "ソース"},
        StripCase{"ー00:00:00]x", "ー00:00:00]x"},
        StripCase{"\\h\\s[10]こんにちは\\w9\\_w[500]。", "こんにちは。"},
        // the first "[" that is no time value ends the removal
        StripCase{"a[b][00:05:00]c", "a[b][00:05:00]c"}, StripCase{"][00:05:00]c", "][00:05:00]c"},
        StripCase{"[00:00:00][00:00:01]x", "x"}, StripCase{"[00:00:00]]x", "]x"},
        StripCase{"[0:10:00]x", "[0:10:00]x"}, StripCase{"[00:あ:00]x", "x"},
        // ukagaka tags of every length
        StripCase{"\\hy", "y"}, StripCase{"\\0y", "y"}, StripCase{"\\_xy", "y"},
        StripCase{"\\w5y", "y"}, StripCase{"\\s[1]y", "y"}, StripCase{"\\s[10]y", "y"},
        StripCase{"\\s[100]y", "y"}, StripCase{"\\_w[500]y", "y"}, StripCase{"\\_w[1000]y", "y"},
        StripCase{"\\s[12345]y", "[12345]y"}, StripCase{"\\s[\\w5]y", "y"},
        // cut-off tags at the end of the line
        StripCase{"abc\\", "abc"}, StripCase{"abc\\_", "abc"}, StripCase{"abc[", "abc["},
        StripCase{"[00:00", "[00:00"}, StripCase{"", ""},
        // colour tags stay: the frame loop takes them out first
        StripCase{"[#FF0000]x", "[#FF0000]x"}));

TEST(StripTags, LeadByteAtTheEndOfALineStays) {
    EXPECT_EQ(stripTags("[00:00:00]a\x83"), "a\x83");
    EXPECT_EQ(stripTags("\\\x83"), "");
    EXPECT_EQ(stripTags("\x83"), "\x83");
    // a "]" that is the second byte of a character does not close a time value
    EXPECT_EQ(stripTags("[00:00:0\x81]x"), "[00:00:0\x81]x");
}

TEST(StripTagsKeepTime, KeepsOnlyALeadingTimeValueInFront) {
    EXPECT_EQ(stripTagsKeepTime(sj("[00:12:34]\\0あい")), sj("[00:12:34]あい"));
    EXPECT_EQ(stripTagsKeepTime("[00:12:34]"), "[00:12:34]");
    EXPECT_EQ(stripTagsKeepTime("[00:12:34]a[00:13:00]b"), "[00:12:34]ab");
    EXPECT_EQ(stripTagsKeepTime("x[00:12:34]y"), "xy");
    EXPECT_EQ(stripTagsKeepTime("[0:12:34]\\hy"), "[0:12:34]y");
    EXPECT_EQ(stripTagsKeepTime("[00]12:34]y"), "[00]12:34]y");
}

struct ColourCase {
    const char* line;
    std::uint32_t colour;
    const char* rest;
};

void PrintTo(const ColourCase& c, std::ostream* os) {
    test::printQuoted(c.line, os);
}

class TakeColourTag : public ::testing::TestWithParam<ColourCase> {};

TEST_P(TakeColourTag, RemovesTheFirstAcceptedTagAndReturnsItsColour) {
    std::string line = sj(GetParam().line);
    EXPECT_EQ(takeColourTag(line), GetParam().colour) << GetParam().line;
    EXPECT_EQ(line, sj(GetParam().rest)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TakeColourTag,
    ::testing::Values(
        ColourCase{"[#FF8000]夕焼け", 0x0080FF, "夕焼け"}, ColourCase{"[#ff8000]x", 0x0080FF, "x"},
        ColourCase{"[#FF80]x", 0xFFFFFF, "[#FF80]x"},
        ColourCase{"a[#00FF00]b[#0000FF]c", 0x00FF00, "ab[#0000FF]c"},
        ColourCase{"[00:10:00][#123456]x", 0x563412, "[00:10:00]x"},
        ColourCase{"[#GG0000]x", 0xFFFFFF, "[#GG0000]x"},
        ColourCase{"[#FF0000", 0xFFFFFF, "[#FF0000"},
        ColourCase{"[#FF00000]x", 0xFFFFFF, "[#FF00000]x"}, ColourCase{"", 0xFFFFFF, ""},
        // the second byte of ー is "[" but opens no tag
        ColourCase{"ー#FF0000]x", 0xFFFFFF, "ー#FF0000]x"},
        // odd runs the scan accepts lose only the bytes up to their "]"
        ColourCase{"[[123456]あ", 0x563412, "[あ"}, ColourCase{"[#12[345]x", 0x53412, "[#12x"}));

TEST(TagTypeName, NamesTheFourKindsAndDashesForAnythingElse) {
    const char* const names[] = {"----",        "Plain Text",  "Time Tag",
                                 "Karaoke Tag", "ukagaka Tag", "----"};
    for (int t = -1; t <= 5; ++t) EXPECT_STREQ(tagTypeName(t), names[t < 0 ? 0 : t]) << t;
}

TEST(TimeValue, WritesTwoDigitFieldsFromMilliseconds) {
    EXPECT_EQ(formatTimeValue(65300), "[01:05:30]");
    EXPECT_EQ(formatTimeValue(0), "[00:00:00]");
    EXPECT_EQ(formatTimeValue(3759), "[00:03:75]");
    EXPECT_EQ(formatTimeValue(5999999), "[99:59:99]");
    EXPECT_EQ(formatTimeValue(6000000), "[100:00:00]");
    EXPECT_EQ(formatTimeValue(-1000), "[00:-1:00]");  // printf's way with a negative field
    EXPECT_EQ(debugTimeText(65300), "01:05:30");
}

TEST(TimeValue, ReadsLikeScanfAndCountsUnreadFieldsAsZero) {
    EXPECT_EQ(readTimeValue("[01:05:30]abc"), 65300);
    EXPECT_EQ(readTimeValue("[0:10:00]"), 10000);
    EXPECT_EQ(readTimeValue("[1:2:3"), 62030);
    EXPECT_EQ(readTimeValue("[ 1: 2: 3]"), 62030);
    EXPECT_EQ(readTimeValue("[0a:10:00]"), 0);
    EXPECT_EQ(readTimeValue("[01:xx:30]"), 60000);
    EXPECT_EQ(readTimeValue(" [00:01:00]"), 0);
    EXPECT_EQ(readTimeValue("[-1:00:00]"), -60000);
    EXPECT_EQ(readTimeValue(""), 0);
    EXPECT_EQ(readTimeValue("["), 0);
}

TEST(TimeValue, HugeFieldsSaturateInsteadOfWrapping) {
    EXPECT_EQ(readTimeValue("[9999999999:00:00]"), INT_MAX);
    EXPECT_EQ(readTimeValue("[-9999999999:00:00]"), INT_MIN);
    EXPECT_EQ(readTimeValue("[00:00:99999999999999999999999]"), INT_MAX);
}

}  // namespace
}  // namespace orba
