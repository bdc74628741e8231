#include "lyrics/sources/lrcreader.h"

#include <gtest/gtest.h>

#include "lyrics/lyricload.h"
#include "lyrics/tags.h"
#include "tests/lyrics/sj.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

LrcText read(const Lines& lines, TextEncoding e = TextEncoding::Utf8) {
    return readLrc(lines, e);
}

TEST(LrcTime, EveryWrittenFormReadsToTheHundredth) {
    struct Case {
        const char* text;
        int ms;
    };
    const Case cases[] = {
        {"01:02.50", 62500}, {"01:02.5", 62500}, {"01:02.509", 62509},   {"01:02", 62000},
        {"01:02:50", 62500}, {"1:02.00", 62000}, {"123:04.00", 7384000}, {"00:00.00", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(parseLrcTime(c.text), c.ms) << c.text;
    for (const char* bad :
         {"", "ti:Song", "1234:00.00", "01:2x", "01:02.", "01:02.1234", "-1:00.00", "01", "01:123"})
        EXPECT_FALSE(parseLrcTime(bad)) << bad;
}

TEST(LrcLines, LineTimesBecomeTimeValuesAndMillisecondsAreTruncated) {
    const LrcText r = read({"[00:12.345]Hello", "[01:02]World", "[00:00:50]Start"});
    EXPECT_EQ(r.lines, (Lines{"[00:00:50]Start", "[00:12:34]Hello", "[01:02:00]World"}));
    EXPECT_FALSE(r.wordTimes);
}

TEST(LrcLines, RepeatedChorusGetsOneLinePerTimeInTimeOrder) {
    const LrcText r =
        read({"[00:30.00][00:10.00]Chorus", "[00:20.00]Verse", "[00:10.00]Same time"});
    // Equal times keep the order of the file.
    EXPECT_EQ(r.lines, (Lines{"[00:10:00]Chorus", "[00:10:00]Same time", "[00:20:00]Verse",
                              "[00:30:00]Chorus"}));
}

TEST(LrcLines, WordTimesMoveWithEachCopyOfARepeatedLine) {
    const LrcText r = read({"[00:10.00][00:40.00]<00:10.00>la <00:10.50>la<00:11.00>"});
    EXPECT_TRUE(r.wordTimes);
    EXPECT_EQ(r.lines, (Lines{"[00:10:00][00:10:00]la [00:10:50]la[00:11:00]",
                              "[00:40:00][00:40:00]la [00:40:50]la[00:41:00]"}));
}

TEST(LrcLines, OffsetShowsLyricsEarlierAndNeverBeforeZero) {
    EXPECT_EQ(read({"[offset:+500]", "[00:00.20]a <00:01.00>b", "[00:02.00]c"}).lines,
              (Lines{"[00:00:00]a [00:00:50]b", "[00:01:50]c"}));
    EXPECT_EQ(read({"[00:02.00]c", "[offset:-250]"}).lines, (Lines{"[00:02:25]c"}));
}

TEST(LrcLines, HeadersAreKeptApartWithTitleAndArtist) {
    const Lines file{"[ti: Song ]",    "[ar:Singer]",  "[al:Album]",    "[by:me]",
                     "[length:03:00]", "[re:tool]",    "[ve:1.0]",      "[au:Writer]",
                     "[#:comment]",    "[xx:unknown]", "[00:01.00]Line"};
    const LrcText r = read(file);
    EXPECT_EQ(r.lines, (Lines{"[00:01:00]Line"}));
    EXPECT_EQ(r.headerLines, Lines(file.begin(), file.end() - 1));
    EXPECT_EQ(r.title, "Song");
    EXPECT_EQ(r.artist, "Singer");
}

TEST(LrcLines, UntimedLinesFollowTheirTimedLineAndGetInterpolatedTimes) {
    const LrcText r = read({"Intro words", "[00:10.00]A", "between", "", "[00:20.00]B"});
    EXPECT_EQ(r.lines, (Lines{"Intro words", "[00:10:00]A", "between", "[00:20:00]B"}));
    LyricLoadInput in;
    in.useMessage = true;
    in.tagType = 2;
    in.encoding = TextEncoding::Utf8;
    const LyricText text = prepareLyrics(r.lines, in);
    // Before the first time the loader counts from 0, as for its own files.
    EXPECT_EQ(text.lineTimes,
              (Lines{"[00:00:00]", "[00:10:00]", "[00:15:00]", "[00:20:00]", "[00:23:00]"}));
}

TEST(LrcLines, ShiftJisBracketsInsideCharactersAreNotTags) {
    // ソ and ー end in the bytes of "\" and "]"; the line is still one tag and its text.
    const std::string text = test::sj("ソー");
    const LrcText r = readLrc({"[00:01.00]" + text}, TextEncoding::ShiftJis);
    EXPECT_EQ(r.lines, (Lines{"[00:01:00]" + text}));
}

TEST(LrcSave, LinesGoBackInLrcFormWithHeadersOnTop) {
    const Lines headers{"[ti:Song]", "[offset:100]"};
    // The loader's lines: offset applied, the empty end entry last.
    const Lines lyricLines{"[00:09:90]one [00:10:40]two", "untimed [x]", "[00:19:90]three", ""};
    EXPECT_EQ(lrcFileLines(lyricLines, headers, 100, TextEncoding::Utf8),
              (Lines{"[ti:Song]", "[offset:100]", "[00:10.00]one <00:10.50>two", "untimed [x]",
                     "[00:20.00]three"}));
}

TEST(LrcSave, ReadingTheSavedFileGivesTheSameLines) {
    const Lines file{"[ar:Me]", "[offset:-300]",
                     "[00:01.00]<00:01.00>Caf\xC3\xA9 <00:01.50>\xED\x95\x9C", "[00:03.25]End"};
    const LrcText first = read(file);
    Lines loaded = first.lines;
    loaded.emplace_back();
    const LrcText again =
        read(lrcFileLines(loaded, first.headerLines, first.offsetMs, TextEncoding::Utf8));
    EXPECT_EQ(again.lines, first.lines);
    EXPECT_EQ(again.headerLines, first.headerLines);
}

TEST(LrcContent, LineTimesTellLrcTextFromPlainText) {
    EXPECT_TRUE(hasLrcLineTimes({"some words", "  [00:01.00]Line"}));
    EXPECT_FALSE(hasLrcLineTimes({"[ti:Song]", "[chorus]", "words"}));
}

}  // namespace
}  // namespace orba
