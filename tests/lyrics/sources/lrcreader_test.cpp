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

TEST(LrcLines, LinesWithoutATimeAreNotShownButKeptAfterTheLineTheyFollowed) {
    const LrcText r = read({"Intro words", "[00:20.00]B", "note on B", "", "[00:10.00]A",
                            "  note on A", "[00:30.00][00:05.00]C", "after C"});
    EXPECT_EQ(r.lines, (Lines{"[00:05:00]C", "[00:10:00]A", "[00:20:00]B", "[00:30:00]C"}));
    // Blank lines go; a note follows the first copy of a repeated line.
    EXPECT_EQ(r.keptLines,
              (std::vector<KeptLine>{
                  {0, "Intro words"}, {2, "  note on A"}, {3, "note on B"}, {4, "after C"}}));
}

TEST(LrcLines, AFileWithoutLineTimesIsShownAsPlainLyrics) {
    const LrcText r = read({"[ti:Plain]", "first", "// a comment", "second <00:01.00>"});
    EXPECT_EQ(r.lines, (Lines{"first", "second <00:01.00>"}));
    EXPECT_EQ(r.keptLines, (std::vector<KeptLine>{{1, "// a comment"}}));
    LyricLoadInput in;
    in.useMessage = true;
    in.tagType = 2;
    in.encoding = TextEncoding::Utf8;
    // The loader spreads them as it spreads its own untimed lines.
    EXPECT_EQ(prepareLyrics(r.lines, in).lineTimes,
              (Lines{"[00:00:00]", "[00:04:50]", "[00:09:00]"}));

    // Shown lines are cut as timed ones are.
    const LrcText cut = read({"intro", std::string(70000, 'a')});
    EXPECT_EQ(cut.lines, (Lines{"intro", std::string(65536, 'a')}));
    EXPECT_EQ(cut.warnings,
              (Lines{"line 2 holds 70000 bytes of text; only the first 65536 are read"}));
}

TEST(LrcLines, ATimeInsideALineIsAWordTime) {
    const LrcText r = read({"[00:05.00][00:15.00] hello [00:06.00] world <00:06.50>!"});
    EXPECT_TRUE(r.wordTimes);
    EXPECT_EQ(r.lines, (Lines{"[00:05:00]hello [00:06:00] world [00:06:50]!",
                              "[00:15:00]hello [00:16:00] world [00:16:50]!"}));
    // A bracket that holds no time, and one cut off before its end, stay text.
    EXPECT_EQ(read({"[00:01.00][chorus] a[00:02.00 b"}).lines,
              (Lines{"[00:01:00][chorus] a[00:02.00 b"}));
}

TEST(LrcLines, ShiftJisBracketsInsideCharactersAreNotTags) {
    // ソ and ー end in the bytes of "\" and "]"; the line is still one tag and its text.
    const std::string text = test::sj("ソー");
    const LrcText r = readLrc({"[00:01.00]" + text}, TextEncoding::ShiftJis);
    EXPECT_EQ(r.lines, (Lines{"[00:01:00]" + text}));
}

LyricForm formOf(const LrcText& r, TextEncoding e = TextEncoding::Utf8) {
    LyricForm form;
    form.headerLines = r.headerLines;
    form.keptLines = r.keptLines;
    form.offsetMs = r.offsetMs;
    form.encoding = e;
    return form;
}

// The file as a save writes it after a load that changed nothing.
Lines savedAgain(const Lines& file, TextEncoding e = TextEncoding::Utf8) {
    const LrcText r = readLrc(file, e);
    Lines loaded = r.lines;
    loaded.emplace_back();
    return lrcFileLines(loaded, formOf(r, e));
}

TEST(LrcSave, LinesGoBackInLrcFormWithHeadersOnTop) {
    LyricForm form;
    form.headerLines = {"[ti:Song]", "[offset:100]"};
    form.offsetMs = 100;
    form.encoding = TextEncoding::Utf8;
    // The loader's lines: offset applied, the empty end entry last; a line
    // untagged in the edit mode goes as it stands.
    const Lines lyricLines{"[00:09:90]one [00:10:40]two", "untimed [00:01:00]", "[00:19:90]three",
                           ""};
    EXPECT_EQ(lrcFileLines(lyricLines, form),
              (Lines{"[ti:Song]", "[offset:100]", "[00:10.00]one <00:10.50>two",
                     "untimed [00:01:00]", "[00:20.00]three"}));
}

TEST(LrcSave, ReadingTheSavedFileGivesTheSameLines) {
    const Lines file{"[ar:Me]", "[offset:-300]",
                     "[00:01.00]<00:01.00>Caf\xC3\xA9 <00:01.50>\xED\x95\x9C", "[00:03.25]End"};
    const LrcText first = read(file);
    Lines loaded = first.lines;
    loaded.emplace_back();
    const LrcText again = read(lrcFileLines(loaded, formOf(first)));
    EXPECT_EQ(again.lines, first.lines);
    EXPECT_EQ(again.headerLines, first.headerLines);
}

TEST(LrcSave, NotesAreWrittenBackWhereTheyStood) {
    // In time order already, the file comes back line for line but for the
    // times in their written form and the blank line.
    EXPECT_EQ(savedAgain({"[ti:Song]", "by a friend", "[00:01.00]one", "(whispered)", "",
                          "[00:02.00]two", "[0:002.00]<00>not a time", "// end"}),
              (Lines{"[ti:Song]", "by a friend", "[00:01.00]one", "(whispered)", "[00:02.00]two",
                     "[0:002.00]<00>not a time", "// end"}));
    // Out of time order, a note goes with the line it followed.
    EXPECT_EQ(savedAgain({"[00:09.00]late", "note on late", "[00:01.00]early"}),
              (Lines{"[00:01.00]early", "[00:09.00]late", "note on late"}));
}

TEST(LrcSave, LinesOfAFileWithoutTimesGoBackAsTheyStand) {
    // Bracketed text that the player's own lines would read as a time value
    // is no LRC time: it must not come back as one.
    const Lines file{"[0:002.00]<00>" + test::sj("ー"), "a[00:01:00]b", "@directive", "plain"};
    EXPECT_EQ(savedAgain(file, TextEncoding::ShiftJis), file);
}

TEST(LrcContent, LineTimesTellLrcTextFromPlainText) {
    EXPECT_TRUE(hasLrcLineTimes({"some words", "  [00:01.00]Line"}));
    EXPECT_FALSE(hasLrcLineTimes({"[ti:Song]", "[chorus]", "words"}));
}

}  // namespace
}  // namespace orba
