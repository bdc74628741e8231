#include "lyrics/sources/musictag.h"

#include <gtest/gtest.h>

#include "lyrics/sources/lyricsource.h"
#include "platform/sjis.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/tagwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::LyricsTag;

constexpr int kToneMs = 300;
const MatroskaLyricsReader kNoMatroska;

struct TagCase {
    const char* ext;
    LyricsTag kind;
    const char* name;
};

void PrintTo(const TagCase& c, std::ostream* os) {
    *os << c.name;
}

class LyricsOfEachKindOfFile : public ::testing::TestWithParam<TagCase> {};

TEST_P(LyricsOfEachKindOfFile, ComeBackAsTheUtf8TextThatWasWritten) {
    test::TempDir dir;
    const std::string path = dir.file(std::string("song") + GetParam().ext);
    ASSERT_TRUE(test::writeTone(path, kToneMs));
    const std::string text = "First line \xE3\x81\x82\nSecond line";
    ASSERT_TRUE(test::writeLyricsTag(path, GetParam().kind, text));
    const MusicTag tag = readMusicTag(path, kNoMatroska);
    EXPECT_EQ(tag.lyrics, text);
    EXPECT_EQ(tag.note, "");
    // The bytes alone tell the same, whatever the file is called.
    EXPECT_EQ(readMusicTagBytes(test::readFile(path)).lyrics, text);
}

INSTANTIATE_TEST_SUITE_P(
    Tags, LyricsOfEachKindOfFile,
    ::testing::Values(TagCase{".mp3", LyricsTag::Uslt, "Mp3Uslt"},
                      TagCase{".mp3", LyricsTag::Ape, "Mp3Ape"},
                      TagCase{".ogg", LyricsTag::VorbisLyrics, "VorbisLyrics"},
                      TagCase{".opus", LyricsTag::VorbisUnsynced, "OpusUnsyncedLyrics"},
                      TagCase{".flac", LyricsTag::VorbisLyrics, "FlacLyrics"},
                      TagCase{".m4a", LyricsTag::Mp4, "Mp4"},
                      TagCase{".wma", LyricsTag::Asf, "Asf"}),
    [](const ::testing::TestParamInfo<TagCase>& info) { return std::string(info.param.name); });

class MusicTagReading : public ::testing::Test {
protected:
    std::string tone(const std::string& name) {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(test::writeTone(path, kToneMs));
        return path;
    }
    test::TempDir m_dir;
};

TEST_F(MusicTagReading, TimedId3LyricsBecomeLrcLinesThatTheLyricSourceTimes) {
    const std::string path = tone("song.mp3");
    ASSERT_TRUE(test::writeTimedLyricsTag(path, {{1500, "one"}, {62345, "two"}}));
    EXPECT_EQ(readMusicTag(path, kNoMatroska).lyrics, "[00:01.50]one\n[01:02.34]two\n");

    const LyricSource s = readEmbeddedLyrics(path, musicTagReader(kNoMatroska));
    EXPECT_EQ(s.form.source, LyricSourceKind::MusicTag);
    EXPECT_EQ(s.form.dialect, LyricDialect::Lrc);
    EXPECT_EQ(s.lines, (std::vector<std::string>{"[00:01:50]one", "[01:02:34]two"}));
}

TEST_F(MusicTagReading, TimedLyricsWinOverUnsyncedOnesAndFrameTimesAreConverted) {
    const std::string path = tone("song.mp3");
    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::Uslt, "plain"));
    // 44.1 kHz MPEG-1 Layer III: 1152 samples a frame, 100 frames = 2612.2 ms.
    ASSERT_TRUE(test::writeTimedLyricsTag(path, {{100, "timed"}}, true));
    EXPECT_EQ(readMusicTag(path, kNoMatroska).lyrics, "[00:02.61]timed\n");
}

TEST_F(MusicTagReading, Latin1DeclaredId3TextIsReadAsTheCodePageItWasWrittenIn) {
    const std::string path = tone("song.mp3");
    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::UsltLatin1, utf8ToSjis("夕焼け空")));
    EXPECT_EQ(readMusicTag(path, kNoMatroska).lyrics, "夕焼け空");

    const std::string other = tone("other.mp3");
    ASSERT_TRUE(test::writeLyricsTag(other, LyricsTag::UsltLatin1, "Caf\xE9"));
    EXPECT_EQ(readMusicTag(other, kNoMatroska).lyrics, "Caf\xC3\xA9");
}

TEST_F(MusicTagReading, TitleAndArtistComeWithTheLyricsAndStandWhereTheLyricsNameNone) {
    const std::string path = tone("song.ogg");
    ASSERT_TRUE(test::writeTitleAndArtist(path, "朝の歌", "Someone"));
    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::VorbisLyrics, "[00:01.00]la"));
    const MusicTag tag = readMusicTag(path, kNoMatroska);
    EXPECT_EQ(tag.title, "朝の歌");
    EXPECT_EQ(tag.artist, "Someone");
    LyricSource s = readEmbeddedLyrics(path, musicTagReader(kNoMatroska));
    EXPECT_EQ(s.form.title, "朝の歌");

    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::VorbisLyrics, "[ti:Own]\n[00:01.00]la"));
    s = readEmbeddedLyrics(path, musicTagReader(kNoMatroska));
    EXPECT_EQ(s.form.title, "Own");
    EXPECT_EQ(s.form.artist, "Someone");
}

TEST_F(MusicTagReading, LyricsOverTheCapAreLeftWithANoteAndSmallerOnesAfterThemTaken) {
    const std::string path = tone("song.mp3");
    const std::string huge(kMaxTagLyricsBytes + 1, 'a');
    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::Uslt, huge));
    MusicTag tag = readMusicTag(path, kNoMatroska);
    EXPECT_EQ(tag.lyrics, "");
    EXPECT_EQ(tag.note, "the lyrics tag is larger than 4 MiB");

    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::Ape, "small"));
    tag = readMusicTag(path, kNoMatroska);
    EXPECT_EQ(tag.lyrics, "small");
    EXPECT_EQ(tag.note, "");

    // The note reaches whoever asked for the song's lyrics.
    const std::string ogg = tone("big.ogg");
    ASSERT_TRUE(test::writeLyricsTag(ogg, LyricsTag::VorbisLyrics, huge));
    const LyricSource s = findLyricSource(ogg, "", false, musicTagReader(kNoMatroska));
    EXPECT_FALSE(s.found);
    EXPECT_EQ(s.note, "the lyrics tag is larger than 4 MiB");
}

// An ID3v2 header: "ID3", version 4, no flags, the size in 7-bit bytes.
std::string id3Header(std::uint32_t size) {
    std::string h = "ID3\x04";
    h += std::string(2, '\0');
    for (int shift = 21; shift >= 0; shift -= 7) h += static_cast<char>((size >> shift) & 0x7F);
    return h;
}

// A USLT frame of ID3v2.4 holding `text` in UTF-8.
std::string usltFrame(const std::string& text) {
    const std::string body = std::string(
                                 "\x03"
                                 "eng"
                                 "\0",
                                 5) +
                             text;
    std::string f = "USLT";
    for (int shift = 21; shift >= 0; shift -= 7)
        f += static_cast<char>((body.size() >> shift) & 0x7F);
    return f + std::string(2, '\0') + body;
}

// Silent MPEG-1 Layer III frames of 128 kbit/s at 44.1 kHz.
std::string mpegFrames() {
    std::string frames;
    for (int i = 0; i < 3; ++i)
        frames += std::string("\xFF\xFB\x90\x64", 4) + std::string(413, '\0');
    return frames;
}

TEST(MusicTagLimits, TagsDeclaredLargerThanTheCapAreNotReadAtAll) {
    const std::string frame = usltFrame("words");
    ASSERT_EQ(readMusicTagBytes(id3Header(frame.size()) + frame + mpegFrames()).lyrics, "words");

    // The size in the header is all that is believed: no 20 MiB are needed
    // to make a tag claim them.
    const MusicTag tag = readMusicTagBytes(id3Header(20 << 20) + frame + mpegFrames());
    EXPECT_EQ(tag.lyrics, "");
    EXPECT_EQ(tag.note, "the music tags are larger than 16 MiB");
}

TEST_F(MusicTagReading, AnyTagPartLargerThanTheCapLeavesTheWholeFileUnread) {
    const std::string path = tone("song.m4a");
    ASSERT_TRUE(test::writeTitleAndArtist(path, "Title", "Artist"));
    ASSERT_TRUE(test::writeLyricsTag(path, LyricsTag::Mp4, std::string(kMaxTagBlockBytes, 'a')));
    const MusicTag tag = readMusicTag(path, kNoMatroska);
    EXPECT_EQ(tag.lyrics, "");
    EXPECT_EQ(tag.title, "");
    EXPECT_EQ(tag.note, "the music tags are larger than 16 MiB");
}

TEST(MusicTagLimits, MatroskaGoesToItsOwnReaderUnlessItsTagsAreTooLarge) {
    // An EBML header, then a segment holding only a Tags element of 2 bytes,
    // or one that claims 32 MiB.
    const std::string header("\x1A\x45\xDF\xA3\x84\x42\x86\x81\x01", 9);
    const std::string small = header + "\x18\x53\x80\x67\x87\x12\x54\xC3\x67\x82xy";
    const std::string large =
        header + std::string("\x18\x53\x80\x67\x8C\x12\x54\xC3\x67\x01\0\0\0\x02\0\0\0", 17);
    test::TempDir dir;
    int calls = 0;
    const MatroskaLyricsReader matroska = [&](const std::string&) {
        ++calls;
        return std::string("from the framework");
    };
    test::writeFile(dir.file("song.mkv"), small);
    MusicTag tag = readMusicTag(dir.file("song.mkv"), matroska);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(tag.lyrics, "from the framework");

    test::writeFile(dir.file("song.mkv"), large);
    tag = readMusicTag(dir.file("song.mkv"), matroska);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(tag.lyrics, "");
    EXPECT_EQ(tag.note, "the music tags are larger than 16 MiB");
}

TEST_F(MusicTagReading, FilesWithoutTagsOrWithoutMusicGiveNothing) {
    test::writeFile(m_dir.file("garbage.mp3"), std::string(5000, '\xFF') + "ID3\x04");
    test::writeFile(m_dir.file("text.ogg"), "OggS but nothing after");
    test::writeFile(m_dir.file("empty.mp3"), "");
    for (const std::string& path :
         {tone("plain.mp3"), tone("plain.ogg"), m_dir.file("garbage.mp3"), m_dir.file("text.ogg"),
          m_dir.file("empty.mp3"), m_dir.file("missing.mp3"), m_dir.path()}) {
        const MusicTag tag = readMusicTag(path, kNoMatroska);
        EXPECT_EQ(tag.lyrics, "") << path;
        EXPECT_EQ(tag.note, "") << path;
    }
}

struct LrcCase {
    const char* name;
    std::vector<TimedLyric> timed;
    const char* lrc;
};

void PrintTo(const LrcCase& c, std::ostream* os) {
    *os << c.name;
}

class TimedLyricsAsLrc : public ::testing::TestWithParam<LrcCase> {};

TEST_P(TimedLyricsAsLrc, GroupSyllablesIntoLinesAtLineBreaks) {
    EXPECT_EQ(timedLyricsAsLrc(GetParam().timed), GetParam().lrc);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TimedLyricsAsLrc,
    ::testing::Values(
        LrcCase{"EachTextALineWithoutBreaks",
                {{0, "a"}, {1000, ""}, {2000, "b"}},
                "[00:00.00]a\n[00:01.00]\n[00:02.00]b\n"},
        LrcCase{"BreakBeforeStartsALine",
                {{1000, "Ka"}, {1500, "ra"}, {2000, "\nO"}, {2500, "ke"}},
                "[00:01.00]<00:01.00>Ka<00:01.50>ra\n[00:02.00]<00:02.00>O<00:02.50>ke\n"},
        LrcCase{"BreakAfterEndsALine",
                {{1000, "one\r\n"}, {2000, "two"}},
                "[00:01.00]one\n[00:02.00]two\n"},
        LrcCase{"EmptyTextMarksTheEndOfTheSyllable",
                {{1000, "\nla"}, {1400, ""}, {2000, "\nlo"}},
                "[00:01.00]<00:01.00>la<00:01.40>\n[00:02.00]lo\n"},
        LrcCase{"TimesPastTheLastLrcTimeStayThere", {{100LL * 60000, "late"}}, "[99:59.99]late\n"}),
    [](const ::testing::TestParamInfo<LrcCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace orba
