// Runs the real `orbakaraoke --library-add`, `--search`, `--library-stats`
// and `--library-remove` over a library file of the test's own.
#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>

#include "tests/support/commandrun.h"

namespace orba {
namespace {

using test::CommandRun;

class LibraryTool : public ::testing::Test {
protected:
    void SetUp() override {
        ::setenv("ORBAKARAOKE_LIBRARY", dir.file("library.db").c_str(), 1);
        std::filesystem::create_directory(songs);
        test::writeFile(songs + "/wind.mp3", "music");
        test::writeFile(songs + "/wind.lrc",
                        "[ti:Wind Song]\n[ar:Kaze]\n[00:01.00]ひかりのうた\n[00:02.00]Morning\n");
        test::writeFile(songs + "/tune.mid", "not a standard MIDI file");
        // The player's own tagged text in Shift-JIS: "カラオケ" and "ｳﾀ".
        test::writeFile(songs + "/sjis.mp3", "music");
        test::writeFile(songs + "/sjis_t.txt",
                        "[00:01:00]\x83J\x83\x89\x83I\x83P\r\n[00:02:00]\xB3\xC0\r\n");
    }
    void TearDown() override { ::unsetenv("ORBAKARAOKE_LIBRARY"); }

    CommandRun run(const std::string& args) { return test::runProgram(dir, ORBAKARAOKE_BIN, args); }
    static QJsonObject json(const CommandRun& r) {
        return QJsonDocument::fromJson(QByteArray::fromStdString(r.out)).object();
    }
    QJsonArray search(const std::string& args) {
        const CommandRun r = run("--search " + args);
        EXPECT_EQ(r.exitCode, 0) << r.err;
        return json(r)["results"].toArray();
    }

    test::TempDir dir;
    std::string songs = dir.file("songs");
};

TEST_F(LibraryTool, AddScansTheFolderAndSearchFindsItsSongsByLyrics) {
    const CommandRun added = run("--library-add '" + songs + "'");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(json(added)["added"].toInt(), 3);
    EXPECT_EQ(json(added)["songs"].toInt(), 3);
    EXPECT_EQ(json(added)["folders"].toArray().at(0).toString().toStdString(), songs);

    QJsonArray hits = search("ヒカリ");
    ASSERT_EQ(hits.size(), 1);
    QJsonObject hit = hits[0].toObject();
    EXPECT_EQ(hit["title"].toString(), "Wind Song");  // named by its LRC file
    EXPECT_EQ(hit["artist"].toString(), "Kaze");
    EXPECT_EQ(hit["line"].toString(), "ひかりのうた");
    EXPECT_EQ(hit["path"].toString().toStdString(), songs + "/wind.mp3");
    EXPECT_GT(hit["id"].toInt(), 0);

    hits = search("ｶﾗｵｹ");
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].toObject()["title"].toString(), "sjis");
    EXPECT_EQ(hits[0].toObject()["line"].toString(), "カラオケ");
    EXPECT_EQ(search("うた").size(), 0);  // two characters look at titles only

    hits = search("wind --limit 1");
    ASSERT_EQ(hits.size(), 1);
    EXPECT_TRUE(hits[0].toObject()["line"].isNull());
    EXPECT_EQ(search("'no such words'").size(), 0);

    // Added again: read again only if changed.
    EXPECT_EQ(json(run("--library-add '" + songs + "'"))["added"].toInt(), 0);
}

TEST_F(LibraryTool, StatsCountTheSongsByTypeAndDialect) {
    ASSERT_EQ(run("--library-add '" + songs + "'").exitCode, 0);
    const CommandRun r = run("--library-stats");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject s = json(r);
    EXPECT_EQ(s["file"].toString().toStdString(), dir.file("library.db"));
    EXPECT_EQ(s["songs"].toInt(), 3);
    EXPECT_EQ(s["types"].toObject(), (QJsonObject{{"audio", 2}, {"midi", 1}}));
    EXPECT_EQ(s["dialects"].toObject(), (QJsonObject{{"LRC", 1}, {"tagged text", 1}, {"none", 1}}));
    EXPECT_EQ(s["skipped"].toObject(), QJsonObject{});
    EXPECT_GT(s["databaseBytes"].toInteger(), 0);
}

TEST_F(LibraryTool, RemoveLetsTheFolderGoWithItsSongs) {
    ASSERT_EQ(run("--library-add '" + songs + "'").exitCode, 0);
    CommandRun r = run("--library-remove '" + songs + "/'");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_TRUE(json(r)["removed"].toBool());
    EXPECT_EQ(json(r)["songs"].toInt(), 0);
    EXPECT_EQ(search("wind").size(), 0);
    EXPECT_FALSE(json(run("--library-remove '" + songs + "'"))["removed"].toBool());
}

// A song text names its audio, which may have another name; every other
// text file is lyrics or nothing, and a song text without its audio is no
// song that could play.
TEST_F(LibraryTool, AnUltraStarSongTextIsCataloguedAsItsOwnSong) {
    const std::string us = "#TITLE:Dawn Duet\n#ARTIST:Asa\n#BPM:300\n#GAP:1000\n";
    test::writeFile(songs + "/backing.ogg", "music");
    test::writeFile(songs + "/dawn.txt", us + "#MP3:backing.ogg\n: 0 4 60 あさ\n: 4 4 62 やけ\nE\n");
    test::writeFile(songs + "/lost.txt", us + "#MP3:gone.mp3\n: 0 4 60 x\nE\n");
    test::writeFile(songs + "/notes.txt", "#include is not a header\nplain words\n");
    const CommandRun added = run("--library-add '" + songs + "'");
    ASSERT_EQ(added.exitCode, 0) << added.err;
    EXPECT_EQ(json(added)["added"].toInt(), 5);  // the three before, backing.ogg and dawn.txt

    const QJsonArray hits = search("あさやけ");
    ASSERT_EQ(hits.size(), 1);
    EXPECT_EQ(hits[0].toObject()["path"].toString().toStdString(), songs + "/dawn.txt");
    EXPECT_EQ(hits[0].toObject()["title"].toString(), "Dawn Duet");
    EXPECT_EQ(hits[0].toObject()["artist"].toString(), "Asa");
    EXPECT_EQ(json(run("--library-stats"))["skipped"].toObject(), QJsonObject{});

    // No longer a song text: gone at the next scan.
    test::writeFile(songs + "/dawn.txt", "just lyrics now\n");
    const CommandRun again = run("--library-add '" + songs + "'");
    EXPECT_EQ(json(again)["removed"].toInt(), 1) << again.out;
    EXPECT_EQ(search("あさやけ").size(), 0);
}

TEST_F(LibraryTool, RefusesWhatItCannotDo) {
    for (const char* args :
         {"--library-add", "--library-add /no/such/folder", "--search", "--search x --limit 0",
          "--search x --limit many", "--library-stats extra", "--library-remove"}) {
        const CommandRun r = run(args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_NE(r.err.find("orbakaraoke: "), std::string::npos) << args;
        EXPECT_EQ(r.out, "") << args;
    }
}

}  // namespace
}  // namespace orba
