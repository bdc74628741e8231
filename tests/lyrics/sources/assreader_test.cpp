#include "lyrics/sources/assreader.h"

#include <gtest/gtest.h>

#include "lyrics/karaokeparse.h"
#include "lyrics/sources/lyricsource.h"
#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::sj;

const char* const kFormat =
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text";

// A file of the given event lines under [Events] with ASS's format line.
Lines file(const Lines& events) {
    Lines lines{"[Script Info]", "Title: Morning", "", "[Events]", kFormat};
    lines.insert(lines.end(), events.begin(), events.end());
    return lines;
}

AssText read(const Lines& lines, TextEncoding e = TextEncoding::Utf8) {
    return readAss(lines, e);
}

TEST(AssKaraoke, DurationsFollowOneAnotherFromStartAndALastTagEndsTheLine) {
    const AssText a = read(
        file({"Dialogue: 0,0:00:04.44,0:00:08.56,Default,,0,0,0,,{\\k28}ma{\\k27}do{\\k55}wo"}));
    EXPECT_TRUE(a.problem.empty());
    EXPECT_TRUE(a.karaoke);
    EXPECT_EQ(a.title, "Morning");
    EXPECT_EQ(a.lines, (Lines{"[00:04:44][00:04:44]ma[00:04:72]do[00:04:99]wo[00:05:54]"}));
}

TEST(AssKaraoke, EveryKaraokeTagSpellingTimesAlikeAndOtherOverridesVanish) {
    // \kf and \K sweep, \ko outlines, \k jumps: for the player's wipe they are
    // all a segment's duration. \kt and \fs are no durations.
    const Lines spellings[] = {
        {"{\\k50}a{\\k50}b"},
        {"{\\kf50}a{\\kf50}b"},
        {"{\\K50}a{\\K50}b"},
        {"{\\ko50}a{\\ko50}b"},
        {"{\\k50\\b1\\c&H0000FF&}a{\\fs20\\kf50\\kt10}b"},
    };
    for (const Lines& text : spellings) {
        const AssText a = read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,," + text[0]}));
        EXPECT_EQ(a.lines, (Lines{"[00:01:00][00:01:00]a[00:01:50]b[00:02:00]"})) << text[0];
    }
}

TEST(AssKaraoke, KaraokeParseWipesEachSyllableOverItsDuration) {
    const AssText a =
        read(file({"Dialogue: 0,0:00:10.00,0:00:13.00,S,,0,0,0,,{\\kf100}a{\\k200}b"}));
    ASSERT_EQ(a.lines.size(), 1u);
    const KaraokeParse k = parseKaraokeLine(11500, a.lines[0], 20000, TextEncoding::Utf8);
    EXPECT_EQ(k.doneText, "a");
    EXPECT_EQ(k.sungText, "ab");
    EXPECT_EQ(k.segmentProgress, 2500);  // 500 of b's 2000 ms
}

TEST(AssEvents, FormatLineOrdersTheFieldsAndTextKeepsItsCommas) {
    const AssText a =
        read({"[Events]", "Format: Start, Text, End",
              "Dialogue: 0:00:03.00,Hello, world,0:00:04.00", "Dialogue: 0:00:01.00,First"});
    // A field before others ends at its comma; only a last field takes them.
    EXPECT_EQ(a.lines, (Lines{"[00:01:00]First", "[00:03:00]Hello"}));
    const AssText last = read(file({"Dialogue: 0,0:00:03.00,0:00:04.00,S,,0,0,0,,Hello, world"}));
    EXPECT_EQ(last.lines, (Lines{"[00:03:00]Hello, world"}));
}

TEST(AssEvents, WithoutAFormatLineTheFieldsAreInAssOrder) {
    const AssText a = read({"[Events]", "Dialogue: 0,0:00:02.50,0:00:04.00,S,,0,0,0,,Plain"});
    EXPECT_EQ(a.lines, (Lines{"[00:02:50]Plain"}));
    EXPECT_FALSE(a.karaoke);
}

TEST(AssEvents, CommentsAndOtherSectionsAreNotLyrics) {
    const AssText a = read({"[Script Info]", "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,info",
                            "[V4+ Styles]", "Style: Default,Arial,20", "[Events]", kFormat,
                            "Comment: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,note",
                            "Dialogue: 0,0:00:03.00,0:00:04.00,S,,0,0,0,,sung"});
    EXPECT_EQ(a.lines, (Lines{"[00:03:00]sung"}));
}

TEST(AssEvents, LinesComeInTimeOrderAndLinesOfOneTimeInFileOrder) {
    const AssText a = read(file({"Dialogue: 0,0:00:05.00,0:00:06.00,S,,0,0,0,,late",
                                 "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,early one",
                                 "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,early two"}));
    EXPECT_EQ(a.lines, (Lines{"[00:01:00]early one", "[00:01:00]early two", "[00:05:00]late"}));
}

TEST(AssText, LineBreaksAndHardSpacesBecomeSpaces) {
    const AssText a =
        read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,one\\Ntwo\\nthree\\hfour"}));
    EXPECT_EQ(a.lines, (Lines{"[00:01:00]one two three four"}));
}

TEST(AssText, ShiftJisBytesThatLookLikeBracesOrBackslashesStayText) {
    // ソ ends in the byte of "\", and a brace block after it still reads.
    const std::string so = sj("ソ");
    const AssText a = read(
        file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,{\\k10}" + so + "\\N" + "{\\k20}" + so}),
        TextEncoding::ShiftJis);
    EXPECT_EQ(a.lines, (Lines{"[00:01:00][00:01:00]" + so + " [00:01:10]" + so + "[00:01:30]"}));
}

TEST(AssBadInput, UnbalancedBracesAreTextAndNegativeDurationsCountAsNone) {
    const AssText open =
        read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,{\\k10}a{\\k20 b"}));
    EXPECT_EQ(open.lines, (Lines{"[00:01:00][00:01:00]a{\\k20 b[00:01:10]"}));
    const AssText close = read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,a}b"}));
    EXPECT_EQ(close.lines, (Lines{"[00:01:00]a}b"}));
    const AssText negative =
        read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,{\\k-50}a{\\k30}b"}));
    EXPECT_EQ(negative.lines, (Lines{"[00:01:00][00:01:00]a[00:01:00]b[00:01:30]"}));
}

TEST(AssBadInput, HugeTimesAndDurationsStayAtTheLastTimeValue) {
    const AssText a = read(file(
        {"Dialogue: 0,999999999999:00:00.00,0:00:02.00,S,,0,0,0,,{\\k99999999999999}a{\\k5}b"}));
    ASSERT_EQ(a.lines.size(), 1u);
    EXPECT_EQ(a.lines[0], "[99:59:99][99:59:99]a[99:59:99]b[99:59:99]");
}

TEST(AssBadInput, UnreadableStartsArePassedOverWithAWarning) {
    const AssText a = read(file({"Dialogue: 0,soon,0:00:02.00,S,,0,0,0,,lost",
                                 "Dialogue: 0,-0:00:01.00,0:00:02.00,S,,0,0,0,,lost too",
                                 "Dialogue: 0,0:00:03.00,0:00:04.00,S,,0,0,0,,kept"}));
    EXPECT_EQ(a.lines, (Lines{"[00:03:00]kept"}));
    ASSERT_EQ(a.warnings.size(), 1u);
    EXPECT_NE(a.warnings[0].find("'soon'"), std::string::npos) << a.warnings[0];
    // A start of megabytes is quoted by its beginning.
    const AssText huge =
        read(file({"Dialogue: 0," + std::string(1 << 20, '9') + ",0,S,,0,0,0,,x"}));
    ASSERT_EQ(huge.warnings.size(), 1u);
    EXPECT_LT(huge.warnings[0].size(), 200u);
}

TEST(AssBadInput, FilesThatGiveNoLyricsSayWhy) {
    EXPECT_NE(read({"[Script Info]", "Title: x"}).problem.find("[Events]"), std::string::npos);
    EXPECT_NE(read({"[Events]", "Format: Layer, End, Style", "Dialogue: 0,0:00:01.00,S"})
                  .problem.find("Start"),
              std::string::npos);
    EXPECT_NE(read(file({"Comment: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,x"})).problem.find("Dialogue"),
              std::string::npos);
    // Lines read before a format that names no Start still count.
    const AssText late = read(file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,kept",
                                    "Format: Layer, End", "Dialogue: 0,0:00:03.00"}));
    EXPECT_TRUE(late.problem.empty());
    EXPECT_EQ(late.lines, (Lines{"[00:01:00]kept"}));
    // Through the source: not found, with the reason as its note.
    const LyricSource s = lyricSourceFromBytes("[Script Info]\nTitle: x\n", LyricFileKind::Ass);
    EXPECT_FALSE(s.found);
    EXPECT_TRUE(s.lines.empty());
    EXPECT_NE(s.note.find("[Events]"), std::string::npos);
}

// --- Saving ----------------------------------------------------------------

Lines loaded(const AssText& a) {
    Lines lines = a.lines;
    lines.emplace_back();  // the loader's end line
    return lines;
}

TEST(AssSave, LinesAsReadGiveTheFileBackByteForByte) {
    const Lines f = file({"Dialogue: 0,0:0:4.4,0:00:08.560,S,,0,0,0,,{\\k28\\b1}ma{\\kf-3}do",
                          "Comment: 0,0:00:00.00,0:00:01.00,S,,0,0,0,,note",
                          "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,, odd {spacing} "});
    EXPECT_EQ(assFileLines(loaded(read(f)), f, TextEncoding::Utf8), f);
}

TEST(AssSave, AMovedLineChangesOnlyItsStartAndFirstDuration) {
    const Lines f = file({"Dialogue: 0,0:00:04.00,0:00:09.00,S,,0,0,0,fx,{\\k50\\i1}ma{\\kf50}do",
                          "Dialogue: 0,0:00:10.00,0:00:12.00,S,,0,0,0,,next"});
    Lines lines = loaded(read(f));
    // The edit mode gives the first line a new time value in front; its
    // karaoke tags keep the times they had.
    lines[0] = "[00:04:20]" + lines[0].substr(10);
    Lines expected = f;
    expected[5] = "Dialogue: 0,0:00:04.20,0:00:09.00,S,,0,0,0,fx,{\\k30\\i1}ma{\\kf50}do";
    EXPECT_EQ(assFileLines(lines, f, TextEncoding::Utf8), expected);
}

TEST(AssSave, ChangedKaraokeTagsBecomeDurationsAndEndMovesOnlyWhenOvertaken) {
    const Lines f = file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,{\\k50}a{\\k50}b"});
    Lines lines = loaded(read(f));
    lines[0] = "[00:03:00][00:03:00]a[00:03:20]b[00:04:00]";
    EXPECT_EQ(assFileLines(lines, f, TextEncoding::Utf8).back(),
              "Dialogue: 0,0:00:03.00,0:00:04.00,S,,0,0,0,,{\\k20}a{\\k80}b");
}

TEST(AssSave, ALineWithoutItsTimeOrWithOtherTagsKeepsWhatItCannotTake) {
    const Lines f = file({"Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,{\\k50}a{\\k50}b"});
    Lines untimed = loaded(read(f));
    untimed[0] = untimed[0].substr(10);
    EXPECT_EQ(assFileLines(untimed, f, TextEncoding::Utf8), f);
    Lines fewer = loaded(read(f));
    fewer[0] = "[00:01:50]ab";
    EXPECT_EQ(assFileLines(fewer, f, TextEncoding::Utf8).back(),
              "Dialogue: 0,0:00:01.50,0:00:02.00,S,,0,0,0,,{\\k50}a{\\k50}b");
}

TEST(AssSave, LinesReadOutOfOrderAreWrittenToTheirOwnFileLines) {
    const Lines f = file({"Dialogue: 0,0:00:05.00,0:00:06.00,S,,0,0,0,,late",
                          "Dialogue: 0,0:00:01.00,0:00:02.00,S,,0,0,0,,early"});
    Lines lines = loaded(read(f));
    ASSERT_EQ(lines[0], "[00:01:00]early");
    lines[0] = "[00:01:50]early";
    const Lines out = assFileLines(lines, f, TextEncoding::Utf8);
    EXPECT_EQ(out[5], f[5]);
    EXPECT_EQ(out[6], "Dialogue: 0,0:00:01.50,0:00:02.00,S,,0,0,0,,early");
}

}  // namespace
}  // namespace orba
