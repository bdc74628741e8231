#include "lyrics/sources/ultrastarreader.h"

#include <gtest/gtest.h>

#include "lyrics/sources/lyricsource.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

// A song at 50 ms a beat (BPM 300) from 1 s on, with the given body.
Lines song(const Lines& body, const Lines& moreHeaders = {}) {
    Lines lines{"#TITLE:Morning", "#ARTIST:Us", "#MP3:morning.mp3", "#BPM:300", "#GAP:1000"};
    lines.insert(lines.end(), moreHeaders.begin(), moreHeaders.end());
    lines.insert(lines.end(), body.begin(), body.end());
    return lines;
}

UltraStarText read(const Lines& lines) {
    return readUltraStar(lines, TextEncoding::Utf8);
}

TEST(UltraStarTiming, SyllablesAreSegmentsAtGapPlusBeatsAtAQuarterOfTheBpm) {
    const UltraStarText u = read(song({": 0 4 0 Good", ": 4 2 2  mor", "* 8 8 4 ning", "E"}));
    EXPECT_TRUE(u.problem.empty());
    EXPECT_EQ(u.title, "Morning");
    EXPECT_EQ(u.artist, "Us");
    EXPECT_EQ(u.audio, "morning.mp3");
    // One blank parts the pitch from the text; any further blanks are the text's.
    EXPECT_EQ(u.lines, (Lines{"[00:01:00][00:01:00]Good[00:01:20] mor[00:01:40]ning[00:01:80]"}));
    EXPECT_EQ(u.notes, (std::vector<SungNote>{{1000, 200, 0, NoteKind::Normal, 0, 0},
                                              {1200, 100, 2, NoteKind::Normal, 0, 0},
                                              {1400, 400, 4, NoteKind::Golden, 0, 0}}));
}

TEST(UltraStarTiming, BpmAndGapReadACommaAsTheDecimalPoint) {
    const UltraStarText u = read({"#TITLE:x", "#BPM:150,0", "#GAP:500,5", ": 10 10 0 a"});
    // 100 ms a beat.
    EXPECT_EQ(u.lines, (Lines{"[00:01:50][00:01:50]a[00:02:50]"}));
}

TEST(UltraStarTiming, LineBreaksPartLinesAndEachNoteKindIsKept) {
    const UltraStarText u = read(song({": 0 2 0 a", "- 4", "F 10 2 0 free", "R 12 2 0 rap",
                                       "G 14 2 -3 gold", "- 20 22", "* 30 2 12 b"}));
    EXPECT_EQ(u.lines, (Lines{"[00:01:00][00:01:00]a[00:01:10]",
                              "[00:01:50][00:01:50]free[00:01:60]rap[00:01:70]gold[00:01:80]",
                              "[00:02:50][00:02:50]b[00:02:60]"}));
    ASSERT_EQ(u.notes.size(), 5u);
    EXPECT_EQ(u.notes[1].kind, NoteKind::Freestyle);
    EXPECT_EQ(u.notes[2].kind, NoteKind::Rap);
    EXPECT_EQ(u.notes[3].kind, NoteKind::RapGolden);
    EXPECT_EQ(u.notes[3].pitch, -3);
    EXPECT_EQ(u.notes[3].line, 1);
    EXPECT_EQ(u.notes[4].kind, NoteKind::Golden);
    EXPECT_EQ(u.notes[4].line, 2);
}

TEST(UltraStarTiming, RelativeBeatsCountFromTheLineBreakBefore) {
    const Lines body{": 0 2 0 a", "- 4 10", ": 0 2 0 b", "- 6", ": 2 2 0 c"};
    const UltraStarText relative = read(song(body, {"#RELATIVE:yes"}));
    // b at 0 + 10, c at 10 + 6 + 2 beats.
    EXPECT_EQ(relative.lines,
              (Lines{"[00:01:00][00:01:00]a[00:01:10]", "[00:01:50][00:01:50]b[00:01:60]",
                     "[00:01:90][00:01:90]c[00:02:00]"}));
    // Without it the same file is three lines from beat 0 on, in time order.
    const UltraStarText absolute = read(song(body));
    EXPECT_EQ(absolute.lines,
              (Lines{"[00:01:00][00:01:00]a[00:01:10]", "[00:01:00][00:01:00]b[00:01:10]",
                     "[00:01:10][00:01:10]c[00:01:20]"}));
}

TEST(UltraStarDuet, PartsAreMergedInTimeOrderWithTheirSinger) {
    const UltraStarText u =
        read(song({"P1", ": 0 2 0 one", "- 4", ": 20 2 0 three", "P2", ": 10 2 0 two", "- 14",
                   ": 30 2 0 four", "P3", ": 40 2 0 both", "E"}));
    EXPECT_EQ(u.lines,
              (Lines{"[00:01:00][00:01:00]one[00:01:10]", "[00:01:50][00:01:50]two[00:01:60]",
                     "[00:02:00][00:02:00]three[00:02:10]", "[00:02:50][00:02:50]four[00:02:60]",
                     "[00:03:00][00:03:00]both[00:03:10]"}));
    std::vector<int> singers, lines;
    for (const SungNote& n : u.notes) singers.push_back(n.singer), lines.push_back(n.line);
    EXPECT_EQ(singers, (std::vector<int>{1, 2, 1, 2, 3}));
    EXPECT_EQ(lines, (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(UltraStarText, HeldSyllablesShowNothingAndReadingStopsAtE) {
    const UltraStarText u =
        read(song({": 0 2 0 la", ": 2 2 0 ~", ": 4 2 0 ~la", "E", ": 100 2 0 after the end"}));
    EXPECT_EQ(u.lines, (Lines{"[00:01:00][00:01:00]la[00:01:10][00:01:20]la[00:01:30]"}));
    EXPECT_EQ(u.notes.size(), 3u);
}

TEST(UltraStarBadInput, ABpmThatCannotTimeTheNotesRefusesTheFile) {
    for (const char* bpm : {"#BPM:0", "#BPM:-120", "#BPM:fast", "#BPM:", "#BPM:nan", "#BPM:inf"}) {
        const UltraStarText u = read({"#TITLE:x", bpm, ": 0 2 0 a"});
        EXPECT_NE(u.problem.find("#BPM"), std::string::npos) << bpm;
        EXPECT_TRUE(u.lines.empty()) << bpm;
    }
    EXPECT_NE(read({"#TITLE:x", ": 0 2 0 a"}).problem, "");
}

TEST(UltraStarBadInput, NotesOutOfOrderAreSorted) {
    const UltraStarText u =
        read(song({": 8 2 0 c", ": 0 2 0 a", ": 4 2 0 b", "- 10", ": 12 2 0 d"}));
    EXPECT_EQ(u.lines, (Lines{"[00:01:00][00:01:00]a[00:01:20]b[00:01:40]c[00:01:50]",
                              "[00:01:60][00:01:60]d[00:01:70]"}));
    EXPECT_EQ(u.notes[0].startMs, 1000);
    EXPECT_EQ(u.notes[2].startMs, 1400);
}

TEST(UltraStarBadInput, HugeBeatsStayAtTheLastTimeValueAndNegativeOnesAtZero) {
    const UltraStarText u =
        read(song({": -999999999999999999999 2 0 a", ": 99999999999999999999999 99999999999 0 b"},
                  {"#RELATIVE:yes"}));
    EXPECT_EQ(u.lines, (Lines{"[00:00:00][00:00:00]a[99:59:99]b[99:59:99]"}));
    ASSERT_EQ(u.notes.size(), 2u);
    EXPECT_GE(u.notes[1].lengthMs, 0);
}

TEST(UltraStarBadInput, AFileWithoutNotesOrWithBrokenNoteLinesSaysSo) {
    EXPECT_NE(read(song({})).problem.find("no notes"), std::string::npos);
    const UltraStarText u = read(song({": x y z", ":", ": 1", ": 0 2 0 kept"}));
    EXPECT_EQ(u.lines, (Lines{"[00:01:00][00:01:00]kept[00:01:10]"}));
}

TEST(UltraStarDetection, OnlyTitleAndBpmHeadersMakeASong) {
    EXPECT_TRUE(isUltraStarText({"", "#title:x", "#ARTIST:y", "#bpm:200", ": 0 1 0 a"}));
    EXPECT_TRUE(isUltraStarText({"\xEF\xBB\xBF#TITLE:x", "#BPM:200"}));
    EXPECT_FALSE(isUltraStarText({"#TITLE:x", "lyrics", "#BPM:200"}));
    EXPECT_FALSE(isUltraStarText({"#TITLE:x", "#GAP:200"}));
    EXPECT_FALSE(isUltraStarText({"[00:01:00]#BPM:1", "#TITLE:x"}));
}

TEST(UltraStarDetection, ATxtFileIsASongOnlyWhenItsHeadersSaySo) {
    const LyricSource songFile =
        lyricSourceFromBytes("#TITLE:x\n#BPM:300\n: 0 2 0 a\nE\n", LyricFileKind::Txt);
    EXPECT_TRUE(songFile.found);
    EXPECT_EQ(songFile.form.dialect, LyricDialect::UltraStar);
    EXPECT_EQ(songFile.tagType, 3);
    EXPECT_EQ(songFile.notes.size(), 1u);
    // The player's own text with a "#" line stays the player's own text.
    const LyricSource own = lyricSourceFromBytes("#TITLE:x\r\n[00:01:00]a\r\n", LyricFileKind::Txt);
    EXPECT_EQ(own.form.dialect, LyricDialect::TaggedText);
    EXPECT_EQ(own.lines, (Lines{"#TITLE:x", "[00:01:00]a"}));
    // A refused song is no lyrics, with the reason.
    const LyricSource refused =
        lyricSourceFromBytes("#TITLE:x\n#BPM:0\n: 0 2 0 a\n", LyricFileKind::Txt);
    EXPECT_FALSE(refused.found);
    EXPECT_NE(refused.note.find("#BPM '0'"), std::string::npos) << refused.note;
}

TEST(UltraStarAudio, OnlyAFileInOrBelowTheSongsFolderIsPlayed) {
    std::string why;
    EXPECT_EQ(ultraStarAudioPath("/songs/a/song.txt", "song.mp3", why), "/songs/a/song.mp3");
    EXPECT_EQ(ultraStarAudioPath("/songs/a/song.txt", "audio\\song.ogg", why),
              "/songs/a/audio/song.ogg");
    EXPECT_EQ(ultraStarAudioPath("/songs/a/song.txt", "...mp3", why), "/songs/a/...mp3");
    for (const char* outside : {"../b/song.mp3", "/etc/passwd", "x/../../y.mp3", "..\\y.mp3",
                                "C:\\music\\y.mp3", "sub/.."}) {
        why.clear();
        EXPECT_EQ(ultraStarAudioPath("/songs/a/song.txt", outside, why), "") << outside;
        EXPECT_NE(why.find("outside"), std::string::npos) << outside;
    }
    why.clear();
    EXPECT_EQ(ultraStarAudioPath("/songs/a/song.txt", "  ", why), "");
    EXPECT_NE(why.find("#AUDIO"), std::string::npos);
}

}  // namespace
}  // namespace orba
