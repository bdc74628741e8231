#include "lyrics/karaokeparse.h"

#include <gtest/gtest.h>

#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using test::sj;

struct ParseCase {
    const char* line;  // UTF-8, converted to Shift-JIS
    int now;
    int nextLineTime;
    const char* sung;
    const char* done;
    const char* rest;
    int progress;
    int timingKind;
};

void PrintTo(const ParseCase& c, std::ostream* os) {
    test::printQuoted(c.line, os);
    *os << " at " << c.now << " next " << c.nextLineTime;
}

class ParseKaraokeLine : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseKaraokeLine, SplitsTheLineAtTheLyricTime) {
    const ParseCase& c = GetParam();
    KaraokeParse r = parseKaraokeLine(c.now, sj(c.line), c.nextLineTime);
    EXPECT_EQ(r.sungText, sj(c.sung)) << c.line << " at " << c.now;
    EXPECT_EQ(r.doneText, sj(c.done)) << c.line << " at " << c.now;
    EXPECT_EQ(r.restText, sj(c.rest)) << c.line << " at " << c.now;
    EXPECT_EQ(r.segmentProgress, c.progress) << c.line << " at " << c.now;
    EXPECT_EQ(r.timingKind, c.timingKind) << c.line << " at " << c.now;
}

constexpr const char* kKaraoke = "[00:10:00]あ[00:11:00]い[00:12:00]う";
constexpr const char* kUkagaka = "[00:10:00]\\0あ\\w5い\\_w[1000]う";

INSTANTIATE_TEST_SUITE_P(
    KaraokeTags, ParseKaraokeLine,
    ::testing::Values(ParseCase{kKaraoke, 9000, 0, "あ", "", "いう", 0, 2},
                      ParseCase{kKaraoke, 10500, 0, "あ", "", "いう", 5000, 2},
                      ParseCase{kKaraoke, 11000, 0, "あい", "あ", "う", 0, 2},
                      ParseCase{kKaraoke, 11500, 0, "あい", "あ", "う", 5000, 2},
                      // the last segment: span capped at 3000 ms
                      ParseCase{kKaraoke, 12500, 20000, "あいう", "あい", "", 2500, 2},
                      ParseCase{kKaraoke, 16000, 20000, "あいう", "あい", "", 10000, 2},
                      // the next line already due: no span left
                      ParseCase{kKaraoke, 12500, 11000, "あいう", "あい", "", 0, 2},
                      // blanks and control characters around the line do not count
                      ParseCase{"  [00:10:00]あ[00:11:00]い\r\n", 10500, 0, "あ", "", "い", 5000,
                                2}));

INSTANTIATE_TEST_SUITE_P(
    UkagakaTags, ParseKaraokeLine,
    ::testing::Values(ParseCase{kUkagaka, 10100, 0, "あ", "", "いう", 3333, 4},
                      ParseCase{kUkagaka, 10300, 0, "あい", "あ", "う", 0, 4},
                      ParseCase{kUkagaka, 10800, 0, "あい", "あ", "う", 5000, 4},
                      // last segment after waits: no 3000 ms cap and no doneText update
                      ParseCase{"[00:10:00]あ\\w5い", 10400, 20000, "あい", "", "", 154, 4},
                      // a tag with an argument ends a segment at the running time
                      ParseCase{"[00:10:00]\\s[10]あい", 10500, 20000, "あい", "", "", 2500, 3},
                      ParseCase{"[00:10:00]あ\\_w[500]い", 10250, 0, "あ", "", "い", 5000, 3}));

INSTANTIATE_TEST_SUITE_P(
    NoTiming, ParseKaraokeLine,
    ::testing::Values(ParseCase{"あいう", 10000, 0, "", "", "あいう", 0, 0},
                      ParseCase{"", 0, 0, "", "", "", 0, 0},
                      // a nine-character tag is no leading time value
                      ParseCase{"[0:10:00]あいう", 10000, 0, "", "", "[0:10:00]あいう", 0, 0},
                      ParseCase{"[00:10:00]あいう", 10500, 20000, "あいう", "", "", 0, 1},
                      ParseCase{"[00:10:00]", 10500, 20000, "", "", "", 0, 1}));

INSTANTIATE_TEST_SUITE_P(
    BrokenTags, ParseKaraokeLine,
    ::testing::Values(
        // letters in the time fields count as 0
        ParseCase{"[0a:1b:00]あ[00:00:50]い", 250, 0, "あ", "", "い", 5000, 2},
        // a bracket of ten characters is no karaoke tag; its text is never shown
        ParseCase{"[00:10:00]あ[9999999999]い", 10500, 0, "あい", "", "", 0, 1},
        // a wait too large for an int counts as 0
        ParseCase{"[00:10:00]あ\\_w[9999999999]い", 10500, 20000, "あい", "あ", "", 2500, 3},
        // karaoke tags out of order: no negative progress
        ParseCase{"[00:10:00][00:05:00]あ", 7000, 20000, "あ", "", "", 0, 2},
        // cut-off tags at the end of the line
        ParseCase{"[00:10:00]あ\\", 10500, 0, "あ", "", "", 0, 1},
        ParseCase{"[00:10:00]あ[", 10500, 0, "あ", "", "", 0, 1},
        ParseCase{"[00:10:00]あ[#", 10500, 0, "あ", "", "", 0, 1}));

TEST(ParseKaraokeLine, LeadByteAtTheEndOfTheLineIsKeptAlone) {
    KaraokeParse r = parseKaraokeLine(10500, sj("[00:10:00]あ") + "\x83", 0);
    EXPECT_EQ(r.sungText, sj("あ") + "\x83");
}

TEST(ParseKaraokeLine, SecondBytesOfDoubleByteCharactersAreNeverTags) {
    // ソ ends in "\" and ー in "["
    KaraokeParse r = parseKaraokeLine(10500, sj("[00:10:00]ソー[00:11:00]ス"), 0);
    EXPECT_EQ(r.sungText, sj("ソー"));
    EXPECT_EQ(r.restText, sj("ス"));
    EXPECT_EQ(r.segmentProgress, 5000);
}

}  // namespace
}  // namespace orba
