// Runs the real `orbakaraoke --lyrics-info` as a lyric author would.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>

#include "tests/lyrics/sj.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/commandrun.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tagwriter.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::sj;

// Key order and spacing aside, the JSON as text: a failure shows all of it.
std::string compact(const QJsonValue& v) {
    return QJsonDocument(v.toObject()).toJson(QJsonDocument::Compact).toStdString();
}
std::string compact(const char* json) {
    return compact(QJsonDocument::fromJson(json).object());
}

struct CommandRun : test::CommandRun {
    QJsonObject json() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out)).object();
    }
};

CommandRun lyricsInfo(const test::TempDir& dir, const std::string& args) {
    return {test::runProgram(dir, ORBAKARAOKE_BIN, "--lyrics-info " + args)};
}

TEST(LyricsInfo, TellsWhereTheLyricsOfAMusicFileComeFromAndHowTheyAreWritten) {
    test::TempDir dir;
    // A UTF-16 LRC file beside the song: "[ti:Título]" and one line with word times.
    std::string lrc = "\xFF\xFE";
    for (char16_t c : std::u16string(u"[ti:T\u00EDtulo]\n[00:01.00]<00:01.00>\uD55C<00:01.50>b"))
        lrc += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    test::writeFile(dir.file("song.lrc"), lrc);
    test::writeFile(dir.file("song.mp3"), "not really music");
    CommandRun r = lyricsInfo(dir, "'" + dir.file("song.mp3") + "' --at 1200");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonObject o = r.json();
    EXPECT_EQ(o["source"].toString(), "file");
    EXPECT_EQ(o["sourceFile"].toString().toStdString(), dir.file("song.lrc"));
    EXPECT_EQ(o["dialect"].toString(), "enhanced LRC");
    EXPECT_EQ(o["encoding"].toString(), "UTF-16LE");
    EXPECT_EQ(o["title"].toString(), QString::fromUtf8("T\xC3\xADtulo"));
    const QJsonObject line = o["lines"].toArray()[0].toObject();
    EXPECT_EQ(line["shown"].toString(), QString::fromUtf8("\xED\x95\x9C"
                                                          "b"));
    EXPECT_EQ(line["karaoke"].toObject()["sungText"].toString(), QString::fromUtf8("\xED\x95\x9C"));
}

TEST(LyricsInfo, ShowsHowAKaraokeFileIsRead) {
    test::TempDir dir;
    test::writeFile(dir.file("song_t.txt"),
                    sj("@TimeRatio=1.05\r\n[00:10:00]あ[00:11:00]い[00:12:00]う\r\n// 作詞\r\n"
                       "[00:20:00][#FF8000]夕焼け[00:21:00]空\r\n"));
    CommandRun r = lyricsInfo(dir, "'" + dir.file("song_t.txt") + "' --at 11500");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonObject o = r.json();
    EXPECT_EQ(o["tagType"].toInt(), 3);
    EXPECT_EQ(o["tagTypeName"].toString(), "Karaoke Tag");
    EXPECT_DOUBLE_EQ(o["timeRatio"].toDouble(), 1.05);
    QJsonArray lines = o["lines"].toArray();
    ASSERT_EQ(lines.size(), 3);  // directive and comment gone, end line added

    EXPECT_EQ(compact(lines[0]), compact(R"({"raw": "[00:10:00]あ[00:11:00]い[00:12:00]う",
        "time": "[00:10:00]", "colour": 16777215, "shown": "あいう", "plain": "あいう",
        "safe": "[00:10:00]あ..", "karaoke": {"sungText": "あい", "doneText": "あ", "restText": "う",
        "segmentProgress": 5000, "timingKind": 2}})"));
    QJsonObject second = lines[1].toObject();
    EXPECT_EQ(second["colour"].toInt(), 0x0080FF);
    EXPECT_EQ(second["shown"].toString(), QString::fromUtf8("夕焼け空"));
    EXPECT_EQ(lines[2].toObject()["time"].toString(), "[00:23:00]");
}

TEST(LyricsInfo, LastSegmentEndsBeforeTheNextLineTakesOver) {
    test::TempDir dir;
    test::writeFile(dir.file("k.txt"), "[00:10:00]a[00:11:00]b\r\n[00:13:00]c\r\n");
    // the next line takes over at 13000 - 390: two thirds of 1610 ms wipe b
    QJsonObject k = lyricsInfo(dir, dir.file("k.txt") + " --at 11500")
                        .json()["lines"]
                        .toArray()[0]
                        .toObject()["karaoke"]
                        .toObject();
    EXPECT_EQ(k["sungText"].toString(), "ab");
    EXPECT_EQ(k["segmentProgress"].toInt(), 500 * 15000 / 1610);
}

TEST(LyricsInfo, SongLengthTimesTheEndLineAndEditModeKeepsTags) {
    test::TempDir dir;
    test::writeFile(dir.file("a.txt"), "[00:40:00]abc\n[00:50:00]\\hdef\n");
    QJsonArray lines =
        lyricsInfo(dir, dir.file("a.txt") + " --song-length 60000").json()["lines"].toArray();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[2].toObject()["time"].toString(), "[01:00:00]");
    EXPECT_FALSE(lines[0].toObject().contains("karaoke"));

    lines = lyricsInfo(dir, "--edit-mode " + dir.file("a.txt")).json()["lines"].toArray();
    ASSERT_EQ(lines.size(), 3);
    EXPECT_EQ(lines[0].toObject()["raw"].toString(), "[00:00:00]abc");
    EXPECT_EQ(lines[0].toObject()["shown"].toString(), "[00:00:00]abc");
    EXPECT_EQ(lines[1].toObject()["shown"].toString(), "[00:50:00]def");
    EXPECT_TRUE(lines[1].toObject()["time"].isNull());
}

TEST(LyricsInfo, ReadsTheLyricsTagInsideAnMp3) {
    test::TempDir dir;
    const std::string song = dir.file("song.mp3");
    ASSERT_TRUE(test::writeTone(song, 300));
    ASSERT_TRUE(test::writeLyricsTag(song, test::LyricsTag::Uslt, "[00:01.00]first\n[00:02.50]二"));
    CommandRun r = lyricsInfo(dir, "'" + song + "'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonObject o = r.json();
    EXPECT_EQ(o["source"].toString(), "music tag");
    EXPECT_EQ(o["sourceFile"].toString().toStdString(), song);
    EXPECT_EQ(o["dialect"].toString(), "LRC");
    const QJsonArray lines = o["lines"].toArray();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines[0].toObject()["time"].toString(), "[00:01:00]");
    EXPECT_EQ(lines[0].toObject()["shown"].toString(), "first");
    EXPECT_EQ(lines[1].toObject()["time"].toString(), "[00:02:50]");
    EXPECT_EQ(lines[1].toObject()["shown"].toString(), QString::fromUtf8("二"));

    // Lyrics too large to take: the error says so.
    ASSERT_TRUE(test::writeTone(song, 300));
    ASSERT_TRUE(test::writeLyricsTag(song, test::LyricsTag::Uslt, std::string(5 << 20, 'a')));
    r = lyricsInfo(dir, "'" + song + "'");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("the lyrics tag is larger than 4 MiB"), std::string::npos) << r.err;
}

TEST(LyricsInfo, ErrorsGoToStderrWithExitCodeTwo) {
    test::TempDir dir;
    test::writeFile(dir.file("bad.txt"), "@TimeRatio=fast\n[00:01:00]a\n");
    test::writeFile(dir.file("huge.txt"), "");
    std::filesystem::resize_file(dir.file("huge.txt"), 5 << 20);
    test::writeFile(dir.file("silent.kar"), test::MidiWriter(480).note(0, 0, 480, 60).bytes());
    test::writeFile(dir.file("silent.mid"), test::MidiWriter(480).note(0, 0, 480, 60).bytes());
    struct Case {
        std::string args;
        std::string error;
    };
    for (const Case& c :
         {Case{dir.file("missing.txt"), "cannot read the lyric file " + dir.file("missing.txt") +
                                            ": cannot open it: No such file or directory"},
          Case{dir.path(), "cannot read the lyric file " + dir.path() + ": a folder, not a file"},
          Case{dir.file("huge.txt"), "huge.txt: larger than 4 MiB"},
          Case{dir.file("silent.kar"), "silent.kar: no lyrics in the karaoke file"},
          Case{dir.file("silent.mid"), "no lyrics beside or inside " + dir.file("silent.mid")},
          Case{dir.file("bad.txt"), dir.file("bad.txt") + ": 'fast' は浮動小数点数ではありません"},
          Case{"", "usage"}, Case{dir.file("bad.txt") + " --at soon", "soon"},
          Case{dir.file("bad.txt") + " --song-length", "--song-length"}}) {
        CommandRun r = lyricsInfo(dir, c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_NE(r.err.find(c.error), std::string::npos) << c.args << ": " << r.err;
    }
}

TEST(LyricsInfo, TellsWhatTheBoundsOfLyricTextLeftOut) {
    test::TempDir dir;
    std::string lrc;
    for (int i = 0; i < 150; ++i) lrc += "[00:01.00]";
    test::writeFile(dir.file("many.lrc"), lrc + "la\r\nnote\r\n");
    CommandRun r = lyricsInfo(dir, dir.file("many.lrc"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonObject o = r.json();
    EXPECT_EQ(o["lines"].toArray().size(), 101);  // the end line too
    EXPECT_EQ(o["warnings"].toArray(),
              QJsonArray{"line 1 has 150 line times; only the first 100 are read"});

    test::writeFile(dir.file("fine.lrc"), "[00:01.00]la\r\n");
    EXPECT_EQ(lyricsInfo(dir, dir.file("fine.lrc")).json()["warnings"].toArray(), QJsonArray{});
}

TEST(LyricsInfo, MidiSyllablesShowTheirBracketsBackslashesAndNoByteOrderMark) {
    test::TempDir dir;
    test::MidiWriter w(480);
    w.text(0, 0, 5, "\xEF\xBB\xBF[Chorus] ").text(0, 480, 5, "C:\\path \xED\x95\x9C");
    test::writeFile(dir.file("song.mid"), w.bytes());
    CommandRun r = lyricsInfo(dir, dir.file("song.mid"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    QJsonObject o = r.json();
    EXPECT_EQ(o["encoding"].toString(), "UTF-8 BOM");
    EXPECT_EQ(o["lines"].toArray()[0].toObject()["shown"].toString(),
              QString::fromUtf8("\uFF3BChorus\uFF3D C:\uFF3Cpath \uD55C"));
}

TEST(LyricsInfo, MemoryStaysNearTheLyricLinesOfAHugeFile) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own bookkeeping hides the program's memory";
#endif
    // Half a million one-letter lines make about 120 MB of JSON, which the
    // command must write out as it goes rather than hold, even several times.
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 500000; ++i) bytes += "a\n";
    test::writeFile(dir.file("many.txt"), bytes);
    CommandRun r = lyricsInfo(dir, dir.file("many.txt") + " --at 0 >/dev/null");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 200 * 1024) << "KiB at the peak";
}

TEST(LyricsInfo, ALineOfMegabytesIsWrittenWithoutHoldingItsJson) {
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "the sanitizer's own bookkeeping hides the program's memory";
#endif
    // A 4 MB line of an unassigned code gives 24 MB of JSON: held whole and
    // copied, as it once was, it took over 100 MB.
    test::TempDir dir;
    std::string bytes;
    for (int i = 0; i < 2000000; ++i) bytes += "\x85\x40";
    test::writeFile(dir.file("wide.txt"), bytes + "\r\n");
    CommandRun r = lyricsInfo(dir, dir.file("wide.txt"));
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("\"raw\": \"\xEF\xBF\xBD@\xEF\xBF\xBD@"), std::string::npos);
    EXPECT_EQ(r.out.substr(r.out.size() - 3), "]}\n");
    rusage children{};
    ASSERT_EQ(getrusage(RUSAGE_CHILDREN, &children), 0);
    EXPECT_LT(children.ru_maxrss, 80 * 1024) << "KiB at the peak";
}

TEST(LyricsInfo, TheDemoSongsSubtitlesAndUltraStarSongTimeItsLinesAsItsLrcFileDoes) {
    test::TempDir dir;
    const std::string examples = ORBA_DEMO_DIR "/examples/";
    const QJsonObject lrc = lyricsInfo(dir, "'" + examples + "asanouta.mp3'").json();
    const QJsonObject ass = lyricsInfo(dir, "'" + examples + "asanouta-ass.mp3'").json();
    const QJsonObject song = lyricsInfo(dir, "'" + examples + "asanouta-ultrastar.txt'").json();
    EXPECT_EQ(ass["dialect"].toString(), "ASS");
    EXPECT_EQ(ass["sourceFile"].toString().toStdString(), examples + "asanouta-ass.ass");
    EXPECT_EQ(song["dialect"].toString(), "UltraStar");
    EXPECT_TRUE(lrc["sungNotes"].isUndefined());
    EXPECT_TRUE(ass["sungNotes"].isUndefined());
    const QJsonArray lrcLines = lrc["lines"].toArray(), assLines = ass["lines"].toArray(),
                     songLines = song["lines"].toArray();
    // The title line comes first in the LRC file and the subtitles; the
    // UltraStar song has only the sung lines.
    ASSERT_GE(lrcLines.size(), 10);
    int syllables = 0;
    for (int i = 1; i <= 8; ++i) {
        const QJsonObject want = lrcLines[i].toObject();
        const QJsonObject a = assLines[i].toObject(), u = songLines[i - 1].toObject();
        EXPECT_EQ(a["shown"], want["shown"]) << i;
        EXPECT_EQ(a["raw"], want["raw"]) << i;
        EXPECT_EQ(u["shown"], want["shown"]) << i;
        // A beat of the UltraStar song is 35 ms; its times lie within half of one.
        const auto ms = [](const QJsonObject& line) {
            const std::string t = line["time"].toString().toStdString();
            return std::stoi(t.substr(1, 2)) * 60000 + std::stoi(t.substr(4, 2)) * 1000 +
                   std::stoi(t.substr(7, 2)) * 10;
        };
        EXPECT_NEAR(ms(u), ms(want), 20) << i;
        syllables += static_cast<int>(u["raw"].toString().count(QLatin1Char('['))) - 2;
    }
    EXPECT_EQ(song["sungNotes"].toInt(), syllables);
}

TEST(LyricsInfo, AnUltraStarSongWhoseAudioClimbsOutOfItsFolderIsRefused) {
    test::TempDir dir;
    test::writeFile(dir.file("song.txt"), "#TITLE:x\n#BPM:300\n#MP3:../song.mp3\n: 0 2 0 a\n");
    CommandRun r = lyricsInfo(dir, "'" + dir.file("song.txt") + "'");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.out.empty());
    EXPECT_NE(r.err.find("outside the song's folder"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace orba
