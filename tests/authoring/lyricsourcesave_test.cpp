#include <gtest/gtest.h>

#include "authoring/lyricsave.h"
#include "authoring/textexport.h"
#include "authoring/timeedit.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricsource.h"
#include "tests/lyrics/sj.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::readFile;
using test::writeFile;

// A lyric file as the loader leaves it for the player.
struct Loaded {
    LyricSource source;
    LyricText text;
};

Loaded load(const std::string& path, bool timeEditMode = false) {
    Loaded l;
    l.source = readLyricFile(path);
    LyricLoadInput in;
    in.useMessage = true;
    in.timeEditMode = timeEditMode;
    in.encoding = l.source.form.encoding;
    in.tagType = l.source.tagType;
    l.text = prepareLyrics(l.source.lines, in);
    return l;
}

// "Café 한국 😀": none of it is Shift-JIS but the "Caf".
const std::string kMixed = "Caf\xC3\xA9 \xED\x95\x9C\xEA\xB5\xAD \xF0\x9F\x98\x80";

TEST(UnicodeLyricSave, EditedLinesSaveBackByteForByteInTheirOwnEncoding) {
    test::TempDir dir;
    for (TextEncoding e :
         {TextEncoding::Utf8, TextEncoding::Utf8Bom, TextEncoding::Utf16Le, TextEncoding::Utf16Be,
          TextEncoding::Utf16LeBare, TextEncoding::Utf16BeBare}) {
        const std::string path = dir.file(std::string("song_") + encodingName(e) + ".txt");
        const std::string before = "[00:01:00]" + kMixed + "\r\n[00:02:00]\xC4\x81[00:02:50]b\r\n";
        writeFile(path, fromInternalText(before, e));
        Loaded l = load(path);
        ASSERT_EQ(l.source.form.encoding, e);
        l.text.lyricLines[1] = retagLine(l.text.lyricLines[1], "[00:03:00]");
        EXPECT_EQ(saveLyricSource(path, "", l.text.lyricLines, l.source.form), path);
        const std::string after = "[00:01:00]" + kMixed + "\r\n[00:03:00]\xC4\x81[00:02:50]b\r\n";
        EXPECT_EQ(readFile(path), fromInternalText(after, e)) << encodingName(e);
        // The first save keeps the file as it was.
        EXPECT_EQ(readFile(lyricBackupPath(path)), fromInternalText(before, e));
    }
}

TEST(UnicodeLyricSave, ASaveKeepsTheLineEndsOfAUnicodeFile) {
    test::TempDir dir;
    struct Case {
        const char* name;
        std::string bytes;
        std::string saved;
    };
    const std::string a = "\xC4\x81";  // ā
    for (const Case& c : {
             Case{"lf.txt", "[00:01:00]" + a + "\n[00:02:00]b\n",
                  "[00:01:00]" + a + "\n[00:02:00]b\n"},
             Case{"cr.txt", "[00:01:00]" + a + "\r[00:02:00]b",
                  "[00:01:00]" + a + "\r[00:02:00]b\r"},
             Case{"lf.lrc", "[ar:Me]\n[00:01.00]" + a + "\n", "[ar:Me]\n[00:01.00]" + a + "\n"},
             // Shift-JIS files are saved with CR LF, as they always were.
             Case{"sjis.txt", test::sj("[00:01:00]うた\n[00:02:00]b\n"),
                  test::sj("[00:01:00]うた\r\n[00:02:00]b\r\n")},
         }) {
        const std::string path = dir.file(c.name);
        writeFile(path, c.bytes);
        Loaded l = load(path);
        saveLyricSource(path, "", l.text.lyricLines, l.source.form);
        EXPECT_EQ(readFile(path), c.saved) << c.name;
    }
    // An LRC file's backup keeps the LRC extension.
    EXPECT_EQ(readFile(dir.file("lf_org.lrc")), "[ar:Me]\n[00:01.00]" + a + "\n");
}

TEST(UnicodeLyricSave, ShiftJisFilesSaveAsTheyAlwaysDid) {
    test::TempDir dir;
    const std::string path = dir.file("s.txt");
    writeFile(path, test::sj("[00:01:00]ソース表\r\n[00:02:00]うた"));
    Loaded l = load(path);
    const Lines lines = l.text.lyricLines;
    saveLyricSource(path, "", lines, l.source.form);
    EXPECT_EQ(readFile(path), test::sj("[00:01:00]ソース表\r\n[00:02:00]うた\r\n"));
}

TEST(LrcLyricSave, TimedInTheEditModeAndSavedItReadsBackAsLrc) {
    test::TempDir dir;
    const std::string path = dir.file("song.lrc");
    writeFile(path, "[ti:Song]\n[ar:Me]\nfirst\nsecond \xED\x95\x9C\nthird\n");
    Loaded l = load(path, true);
    TimeEditState edit{.timeEditMode = true};
    for (int tap : {1234, 5678}) {
        edit.editFrameDrawn = true;
        ASSERT_TRUE(setAndNext(edit, l.text.lyricLines, l.text.lineTimes, tap));
    }
    saveLyricSource(path, "", l.text.lyricLines, l.source.form);
    // The file's own LF line ends stay.
    EXPECT_EQ(readFile(path),
              "[ti:Song]\n[ar:Me]\n[00:00.00]first\n[00:01.23]second \xED\x95\x9C\n"
              "[00:05.67]third\n");
    const LyricSource again = readLyricFile(path);
    EXPECT_EQ(again.form.title, "Song");
    EXPECT_EQ(again.lines,
              (Lines{"[00:00:00]first", "[00:01:23]second \xED\x95\x9C", "[00:05:67]third"}));
}

TEST(LrcLyricSave, NotesBesideTheTimedLinesAreNotShownAndSaveBackInPlace) {
    test::TempDir dir;
    const std::string path = dir.file("notes.lrc");
    writeFile(path,
              "[ti:Song]\r\nwords: a friend\r\n[00:01.00]one\r\n(breath)\r\n"
              "[00:02.00]two\r\n");
    Loaded l = load(path, true);
    EXPECT_EQ(l.text.lyricLines, (Lines{"[00:00:00]one", "[00:02:00]two", ""}));
    TimeEditState edit{.timeEditMode = true, .editFrameDrawn = true};
    ASSERT_TRUE(setAndNext(edit, l.text.lyricLines, l.text.lineTimes, 2500));
    saveLyricSource(path, "", l.text.lyricLines, l.source.form);
    EXPECT_EQ(readFile(path),
              "[ti:Song]\r\nwords: a friend\r\n[00:00.00]one\r\n(breath)\r\n"
              "[00:02.50]two\r\n");
}

TEST(EmbeddedLyricSave, LyricsFromInsideAMidiFileGoToItsOwnLyricFile) {
    test::TempDir dir;
    const std::string music = dir.file("song.kar");
    test::MidiWriter w(480);
    w.text(0, 0, 5, "la").text(0, 480, 5, "la");
    writeFile(music, w.bytes());
    LyricSource s = findLyricSource(music, "", false, {});
    ASSERT_EQ(s.form.source, LyricSourceKind::MidiEvents);
    Lines lines = s.lines;
    lines.emplace_back();
    EXPECT_EQ(saveLyricSource(s.path, music, lines, s.form), dir.file("song_t.txt"));
    EXPECT_EQ(readFile(dir.file("song_t.txt")), "[00:00:00]la[00:00:50]la\r\n");
    EXPECT_EQ(readFile(music), w.bytes());
    EXPECT_EQ(s.form.source, LyricSourceKind::File);
    // From then on that file is the song's lyric file.
    EXPECT_EQ(findLyricSource(music, dir.file("song_t.txt"), true, {}).path,
              dir.file("song_t.txt"));
}

TEST(UnicodeTextExport, ExportsKeepTheLyricsEncoding) {
    test::TempDir dir;
    LyricForm form;
    form.encoding = TextEncoding::Utf16Le;
    const std::string path = writeTextExport(
        TextExport::Plain, {"[00:01:00]" + kMixed + "[00:02:00]!", ""}, dir.file("x.mp3"), form);
    EXPECT_EQ(readFile(path), fromInternalText(kMixed + "!\r\n\r\n", form.encoding));

    form.encoding = TextEncoding::Utf8;
    form.source = LyricSourceKind::File;
    form.dialect = LyricDialect::EnhancedLrc;
    // The safe form keeps the line time (in LRC form) and one whole character.
    EXPECT_EQ(exportLines(TextExport::Safe, {"[00:01:00]\xED\x95\x9C\xEA\xB5\xAD"}, form),
              (Lines{"[00:01.00]\xED\x95\x9C.."}));
}

const std::string kAss =
    "\xEF\xBB\xBF[Script Info]\nTitle: x\n\n[Events]\n"
    "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
    "Dialogue: 0,0:00:01.00,0:00:03.00,Verse,,0,0,0,,{\\k50}ma{\\kf100}do\n"
    "Comment: 0,0:00:03.00,0:00:04.00,Verse,,0,0,0,,breath\n"
    "Dialogue: 0,0:00:05.00,0:00:07.00,Verse,,0,0,0,,{\\k50\\b1}wo{\\k50}a";

TEST(SubtitleLyricSave, TimedInTheEditModeOnlyTheTimesOfTheFileChange) {
    test::TempDir dir;
    const std::string path = dir.file("song.ass");
    writeFile(path, kAss);
    Loaded l = load(path, true);
    ASSERT_EQ(l.source.form.dialect, LyricDialect::Ass);
    TimeEditState edit{.timeEditMode = true, .editFrameDrawn = true};
    ASSERT_TRUE(setAndNext(edit, l.text.lyricLines, l.text.lineTimes, 5250));
    EXPECT_EQ(saveLyricSource(path, "", l.text.lyricLines, l.source.form), path);
    // Line 0 starts at 0 in the edit mode, the second line where it was
    // tapped; the mark, the LF line ends and the unended last line stay,
    // and so does every byte but the times.
    EXPECT_EQ(readFile(path),
              "\xEF\xBB\xBF[Script Info]\nTitle: x\n\n[Events]\n"
              "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n"
              "Dialogue: 0,0:00:00.00,0:00:03.00,Verse,,0,0,0,,{\\k150}ma{\\kf100}do\n"
              "Comment: 0,0:00:03.00,0:00:04.00,Verse,,0,0,0,,breath\n"
              "Dialogue: 0,0:00:05.25,0:00:07.00,Verse,,0,0,0,,{\\k25\\b1}wo{\\k50}a");
    EXPECT_EQ(readFile(dir.file("song_org.ass")), kAss);
    // Read again it times the lines as they were saved.
    EXPECT_EQ(readLyricFile(path).lines[1], "[00:05:25][00:05:25]wo[00:05:50]a[00:06:00]");
}

TEST(SubtitleLyricSave, AShiftJisFileWithItsOwnLineEndsSavesBackUnchanged) {
    test::TempDir dir;
    const std::string path = dir.file("song.ssa");
    const std::string bytes = "[Events]\nDialogue: Marked=0,0:00:01.00,0:00:02.00,S,,0,0,0,," +
                              test::sj("{\\k50}ソ{\\k50}ー") + "\n";
    writeFile(path, bytes);
    Loaded l = load(path, false);
    ASSERT_EQ(l.source.form.encoding, TextEncoding::ShiftJis);
    ASSERT_EQ(l.text.tagType, 3);
    saveLyricSource(path, "", l.text.lyricLines, l.source.form);
    EXPECT_EQ(readFile(path), bytes);
}

TEST(UltraStarLyricSave, TimingsGoToALyricFileBesideTheMusicAndTheSongStaysAsItWas) {
    test::TempDir dir;
    const std::string song = dir.file("song.txt");
    const std::string notes = "#TITLE:x\n#BPM:300\n#MP3:track.mp3\n: 0 2 0 a\n- 4\n: 10 2 0 b\nE\n";
    writeFile(song, notes);
    Loaded l = load(song, true);
    ASSERT_EQ(l.source.form.dialect, LyricDialect::UltraStar);
    TimeEditState edit{.timeEditMode = true, .editFrameDrawn = true};
    ASSERT_TRUE(setAndNext(edit, l.text.lyricLines, l.text.lineTimes, 700));
    EXPECT_EQ(saveLyricSource(song, dir.file("track.mp3"), l.text.lyricLines, l.source.form),
              dir.file("track_t.txt"));
    EXPECT_EQ(readFile(song), notes);
    EXPECT_EQ(readFile(dir.file("track_t.txt")),
              "[00:00:00][00:00:00]a[00:00:10]\r\n[00:00:70][00:00:50]b[00:00:60]\r\n");
    EXPECT_EQ(l.source.form.dialect, LyricDialect::TaggedText);
}

}  // namespace
}  // namespace orba
