#include "lyrics/sources/lyricsource.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "lyrics/karaokeparse.h"
#include "lyrics/lyricload.h"
#include "lyrics/messagefile.h"
#include "lyrics/tags.h"
#include "tests/lyrics/sj.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;
using test::writeFile;

class LyricSourceOrder : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return m_dir.file(name); }
    // A MIDI file with one lyric syllable.
    void writeKar(const std::string& name, const std::string& syllable) {
        test::MidiWriter w(480);
        w.text(0, 0, 5, syllable);
        writeFile(path(name), w.bytes());
    }
    LyricSource find(const std::string& music, const std::string& messageFile, bool useMessage,
                     const MusicTagReader& tag = {}) {
        return findLyricSource(path(music), messageFile, useMessage, tag);
    }

    test::TempDir m_dir;
};

TEST_F(LyricSourceOrder, CompanionTextFileComesFirstThenLrcThenLyricsInside) {
    writeKar("song.kar", "inside");
    writeFile(path("song.lrc"), "[00:01.00]lrc\n");
    writeFile(path("song_t.txt"), "[00:01:00]tagged\r\n");
    writeFile(path("other.txt"), "kept\r\n");

    LyricSource s = find("song.kar", path("song_t.txt"), true);
    EXPECT_EQ(s.path, path("song_t.txt"));
    EXPECT_EQ(s.lines, (Lines{"[00:01:00]tagged"}));

    // A file kept from the song before loses to the song's own lyrics.
    s = find("song.kar", path("other.txt"), true);
    EXPECT_EQ(s.path, path("song.lrc"));
    EXPECT_EQ(s.form.dialect, LyricDialect::Lrc);
    EXPECT_EQ(s.tagType, 2);

    std::filesystem::remove(path("song.lrc"));
    s = find("song.kar", path("other.txt"), true);
    EXPECT_EQ(s.form.source, LyricSourceKind::MidiEvents);
    EXPECT_EQ(s.path, path("song.kar"));
    EXPECT_EQ(s.lines, (Lines{"[00:00:00]inside"}));

    // No lyrics of its own: the kept file stays in use, or there are none.
    writeFile(path("plain.mp3"), "ID3 not really");
    s = find("plain.mp3", path("other.txt"), true);
    EXPECT_EQ(s.path, path("other.txt"));
    EXPECT_FALSE(find("plain.mp3", path("other.txt"), false).found);
    // The music file itself, remembered as the lyric file, is never read as text.
    EXPECT_FALSE(find("plain.mp3", path("plain.mp3"), true).found);
}

TEST_F(LyricSourceOrder, TheFirstSourceThatIsThereButIsNotReadSaysWhy) {
    const std::string noLyrics = test::MidiWriter(480).note(0, 0, 480, 60).bytes();
    writeFile(path("song.mid"), noLyrics);
    writeFile(path("song.kar"), noLyrics);
    writeFile(path("big.txt"), "");
    std::filesystem::resize_file(path("big.txt"), kMaxMessageFileBytes + 1);
    // A MIDI song may well be music alone; a karaoke file may not.
    EXPECT_EQ(find("song.mid", "", false).note, "");
    LyricSource s = find("song.kar", path("big.txt"), true);
    EXPECT_FALSE(s.found);
    EXPECT_EQ(s.path, path("song.kar"));
    EXPECT_EQ(s.note, "no lyrics in the karaoke file");
    s = find("song.mid", path("big.txt"), true);
    EXPECT_EQ(s.path, path("big.txt"));
    EXPECT_EQ(s.note, "larger than 4 MiB");

    // An LRC file beside the song that is not read gives way to the lyrics
    // inside the song, and is the reason when there are none.
    std::filesystem::copy_file(path("big.txt"), path("song.lrc"));
    s = find("song.kar", "", false);
    EXPECT_EQ(s.path, path("song.lrc"));
    EXPECT_EQ(s.note, "larger than 4 MiB");
    writeKar("song.kar", "inside");
    EXPECT_EQ(find("song.kar", "", false).form.source, LyricSourceKind::MidiEvents);
}

TEST_F(LyricSourceOrder, MusicTagTextIsReadAsLrcOrAsPlainLyrics) {
    writeFile(path("song.ogg"), "OggS");
    std::string tag = "[ti:Tagged]\n[00:02.00]From the tag";
    const MusicTagReader reader = [&](const std::string&) {
        return MusicTag{.lyrics = tag, .title = "Tag title", .artist = "Tag artist", .note = ""};
    };
    LyricSource s = find("song.ogg", "", false, reader);
    EXPECT_EQ(s.form.source, LyricSourceKind::MusicTag);
    EXPECT_EQ(s.form.dialect, LyricDialect::Lrc);
    EXPECT_EQ(s.form.title, "Tagged");
    EXPECT_EQ(s.form.artist, "Tag artist");
    EXPECT_EQ(s.lines, (Lines{"[00:02:00]From the tag"}));

    tag = "Unsynced \xED\x95\x9C\nsecond";
    s = find("song.ogg", "", false, reader);
    EXPECT_EQ(s.form.dialect, LyricDialect::TaggedText);
    EXPECT_EQ(s.form.encoding, TextEncoding::Utf8);
    EXPECT_EQ(s.lines, (Lines{"Unsynced \xED\x95\x9C", "second"}));
}

TEST(LyricFileReading, ShiftJisFilesGiveExactlyTheLinesTheyAlwaysGave) {
    test::TempDir dir;
    const std::string bytes = test::sj("[00:01:00]ソース\\w5表\r\n") + "\x82\r\xFF\n[x]";
    writeFile(dir.file("a.txt"), bytes);
    const LyricSource s = readLyricFile(dir.file("a.txt"));
    EXPECT_EQ(s.form.encoding, TextEncoding::ShiftJis);
    EXPECT_EQ(s.form.dialect, LyricDialect::TaggedText);
    EXPECT_EQ(s.tagType, 0);
    EXPECT_EQ(s.lines, *readMessageFile(dir.file("a.txt")));
}

TEST(LyricFileReading, Utf16FilesAreSplitAfterDecoding) {
    test::TempDir dir;
    // "[00:01:00]한\r\n[00:02:00]b" in UTF-16LE: the line ends hold 0x00 bytes.
    std::string le = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[00:01:00]\uD55C\r\n[00:02:00]b")) {
        le += static_cast<char>(c & 0xFF);
        le += static_cast<char>(c >> 8);
    }
    writeFile(dir.file("k.txt"), le);
    const LyricSource s = readLyricFile(dir.file("k.txt"));
    EXPECT_EQ(s.form.encoding, TextEncoding::Utf16Le);
    EXPECT_EQ(s.lines, (Lines{"[00:01:00]\xED\x95\x9C", "[00:02:00]b"}));
}

TEST(LyricFileReading, UnicodeFilesKeepTheirLineEndsAndShiftJisSavesWithCrLf) {
    struct Case {
        std::string bytes;
        const char* lineEnd;
    };
    const std::string han = "\xED\x95\x9C";
    for (const Case& c : {
             Case{"a" + han + "\nb\nc", "\n"},
             Case{"a" + han + "\rb\r", "\r"},
             Case{"a" + han + "\r\nb\r\n", "\r\n"},
             Case{"\xEF\xBB\xBF"
                  "a\nb\r\nc\n",
                  "\n"},                                // the most used one
             Case{"a" + han, "\r\n"},                   // none: the player's own
             Case{test::sj("うた\nことば\n"), "\r\n"},  // Shift-JIS as always
             Case{fromInternalText("a\nb\n", TextEncoding::Utf16BeBare), "\n"},
         }) {
        const LyricSource s = lyricSourceFromBytes(c.bytes, false);
        EXPECT_EQ(s.form.lineEnd, c.lineEnd) << encodingName(s.form.encoding) << " " << c.bytes;
    }
}

TEST(LyricFileReading, LrcNameDecidesTheDialectInAnyLetterCase) {
    test::TempDir dir;
    writeFile(dir.file("x.LRC"), "\xEF\xBB\xBF[00:01.00]<00:01.00>a<00:01.50>b");
    const LyricSource s = readLyricFile(dir.file("x.LRC"));
    EXPECT_EQ(s.form.encoding, TextEncoding::Utf8Bom);
    EXPECT_EQ(s.form.dialect, LyricDialect::EnhancedLrc);
    EXPECT_EQ(s.tagType, 3);
    EXPECT_EQ(s.lines, (Lines{"[00:01:00][00:01:00]a[00:01:50]b"}));
}

// The tag scans over UTF-8: characters whose last byte is a Shift-JIS lead
// byte (ā is C4 81, ー is E3 83 BC) must not hide the tag after them.
TEST(Utf8Lyrics, TagScansSeeEveryTagAfterAMultiByteCharacter) {
    const TextEncoding u = TextEncoding::Utf8;
    const std::string a = "\xC4\x81";  // ā
    EXPECT_EQ(stripTags("[00:01:00]" + a + "[00:02:00]b", u), a + "b");
    std::string coloured = a + "[#0000FF]";
    EXPECT_EQ(takeColourTag(coloured, u), 0xFF0000u);
    EXPECT_EQ(coloured, a);

    const KaraokeParse k = parseKaraokeLine(1500, "[00:01:00]" + a + "[00:02:00]b", 5000, u);
    EXPECT_EQ(k.sungText, a);
    EXPECT_EQ(k.restText, "b");
    EXPECT_EQ(k.segmentProgress, 5000);

    const Lines lines{"x" + a + "]", "x" + a + "]", "plain"};
    EXPECT_EQ(decideTagType(tagCensus(lines, u), lines.size()), 2);
}

std::string repeated(const std::string& piece, std::size_t times) {
    std::string s;
    for (std::size_t i = 0; i < times; ++i) s += piece;
    return s;
}

// The bounds of an LRC line, at and just past each of them. The text of a
// line is counted without its line end, so CR LF and LF cut alike.
TEST(LyricBounds, AnLrcLineIsReadUpToItsBoundsAndTheCutIsReported) {
    const std::string hangul = "\xED\x95\x9C";
    struct Case {
        const char* what;
        std::string line;
        std::size_t lines;
        std::size_t firstSize;
        std::string warning;
    };
    const Case cases[] = {
        {"100 times", repeated("[00:01.00]", 100) + "la", 100, 12, ""},
        {"101 times", repeated("[00:01.00]", 101) + "la", 100, 12,
         "line 1 has 101 line times; only the first 100 are read"},
        {"64 KiB of text", "[00:01.00]" + std::string(65536, 'a'), 1, 65546, ""},
        {"a byte more", "[00:01.00]" + std::string(65537, 'a'), 1, 65546,
         "line 1 holds 65537 bytes of text; only the first 65536 are read"},
        {"cut inside a character", "[00:01.00]ab" + repeated(hangul, 21845), 1, 10 + 65534,
         "line 1 holds 65537 bytes of text; only the first 65536 are read"},
        {"4 MiB in all", repeated("[00:01.00]", 100) + std::string(60000, 'a'), 69, 60010,
         "the lyric text is cut at 4194304 bytes: 32 lyric lines from line 1 of the file on are "
         "left out"},
    };
    for (const Case& c : cases) {
        for (const char* end : {"\n", "\r\n"}) {
            const LyricSource s = lyricSourceFromBytes(c.line + end + "[00:02.00]next" + end, true);
            SCOPED_TRACE(std::string(c.what) + (end[0] == '\r' ? ", CR LF" : ", LF"));
            // The line after a cut is read all the same, unless the bound of
            // the whole is reached.
            const std::size_t next = c.lines == 69 ? 0 : 1;
            ASSERT_EQ(s.lines.size(), c.lines + next);
            EXPECT_EQ(s.lines.front().size(), c.firstSize);
            EXPECT_TRUE(isValidUtf8(s.lines.front()));
            EXPECT_EQ(s.warnings, c.warning.empty() ? Lines{} : Lines{c.warning});
        }
    }
}

TEST(LyricBounds, ATextFileThatGrowsAsUtf8IsCutToTheBoundOfTheWhole) {
    // 3 MB of UTF-16 make 4.5 MB of UTF-8.
    std::string bytes = "\xFF\xFE";
    const std::string line = repeated(std::string("\x5C\xD5", 2), 999) + std::string("\n\0", 2);
    for (int i = 0; i < 1500; ++i) bytes += line;
    const LyricSource s = lyricSourceFromBytes(bytes, false);
    std::size_t total = 0;
    for (const std::string& l : s.lines) total += l.size();
    EXPECT_LE(total, 4u << 20);
    EXPECT_GT(total, (4u << 20) - 3);
    EXPECT_TRUE(isValidUtf8(s.lines.back()));
    ASSERT_EQ(s.warnings.size(), 1u);
    EXPECT_NE(s.warnings[0].find("cut at 4194304 bytes in line 1400"), std::string::npos)
        << s.warnings[0];
}

}  // namespace
}  // namespace orba
