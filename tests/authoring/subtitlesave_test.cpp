// Saving lyrics read from subtitles and from UltraStar songs after timing
// them in the edit mode.
#include <gtest/gtest.h>

#include "authoring/lyricsave.h"
#include "authoring/timeedit.h"
#include "lyrics/lyricload.h"
#include "lyrics/sources/lyricsource.h"
#include "tests/lyrics/sj.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::readFile;
using test::writeFile;

struct Loaded {
    LyricSource source;
    LyricText text;
};

Loaded load(const std::string& path, bool timeEditMode) {
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
