// Runs the real `orbakaraoke --timeline` and `--render` as a lyric author
// would: no display, no sound device.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
    QJsonArray frames() const {
        return QJsonDocument::fromJson(QByteArray::fromStdString(out))
            .object()
            .value("frames")
            .toArray();
    }
};

ToolRun run(const TempDir& dir, const std::string& args) {
    const std::string out = dir.file("stdout"), err = dir.file("stderr");
    const std::string command = "env -u DISPLAY -u WAYLAND_DISPLAY ORBAKARAOKE_INI='" +
                                dir.file("none.ini") + "' '" ORBAKARAOKE_BIN "' " + args + " >'" +
                                out + "' 2>'" + err + "'";
    ToolRun r;
    const int status = std::system(command.c_str());
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    r.out = test::readFile(out);
    r.err = test::readFile(err);
    return r;
}

class Tools : public ::testing::Test {
protected:
    void SetUp() override { test::writeFile(lyrics, "[00:10:00]A\r\n[00:20:00]B\r\n"); }
    TempDir dir;
    std::string lyrics = dir.file("song.txt");
};

TEST_F(Tools, TimelineReportsEachMomentInTheOrderAsked) {
    const ToolRun r = run(dir, "--timeline '" + lyrics + "' --at 9630,0,9600,24000,9615");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonArray f = r.frames();
    ASSERT_EQ(f.size(), 5);
    // The step to line 0 comes at 9615; the line is drawn from the next frame.
    const QJsonObject stepped = f[4].toObject();
    EXPECT_EQ(stepped["frame"].toInt(), 641);
    EXPECT_EQ(stepped["songTime"].toInt(), 9615);
    EXPECT_EQ(stepped["currentLine"].toInt(), 0);
    EXPECT_FALSE(stepped["drawn"].toBool());
    const QJsonObject entering = f[0].toObject();
    EXPECT_TRUE(entering["drawn"].toBool());
    EXPECT_EQ(entering["lineOpacity"].toDouble(), 100);  // the first line has no entry
    EXPECT_EQ(entering["currentText"].toString(), "A");
    EXPECT_EQ(entering["lineEnd"].toInt(), 19610);

    const QJsonObject start = f[1].toObject();
    EXPECT_TRUE(start["lyricTime"].isNull());
    EXPECT_EQ(start["currentLine"].toInt(), -1);
    EXPECT_FALSE(start["drawn"].toBool());
    EXPECT_TRUE(start["currentText"].isNull());

    EXPECT_EQ(f[2].toObject()["currentLine"].toInt(), -1);  // 9600 < 9610: not yet
    // Without music the end line lies 3000 ms after the last anchor.
    EXPECT_EQ(f[3].toObject()["ended"].toBool(), true);
}

TEST_F(Tools, TimelineWithASongLengthEndsThereAndWipesTimeTagsEvenly) {
    const ToolRun r =
        run(dir, "--timeline '" + lyrics + "' --at 15000,59990,60000 --song-length 60000");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonArray f = r.frames();
    const QJsonObject mid = f[0].toObject();
    EXPECT_TRUE(mid["karaokeOn"].toBool());
    EXPECT_EQ(mid["segmentProgress"].toInt(), mid["lineProgress"].toInt());
    EXPECT_EQ(mid["sungText"].toString(), "A");
    EXPECT_FALSE(f[1].toObject().contains("ended"));
    EXPECT_TRUE(f[2].toObject()["ended"].toBool());
}

TEST_F(Tools, BadArgumentsExitWithTwoAndAMessage) {
    for (const std::string& args :
         {"--timeline '" + lyrics + "'", "--timeline '" + lyrics + "' --at 1,x",
          "--timeline '" + dir.file("missing.txt") + "' --at 1",
          "--timeline '" + lyrics + "' --at 1 --song-length -5",
          "--render '" + lyrics + "' --at 10",
          "--render '" + lyrics + "' --at 10 --out x.png --size 0x5",
          "--render '" + lyrics + "' --at 10 --out x.png --bogus", std::string("--lyric-info x")}) {
        const ToolRun r = run(dir, args);
        EXPECT_EQ(r.exitCode, 2) << args;
        EXPECT_FALSE(r.err.empty()) << args;
        EXPECT_TRUE(r.out.empty()) << args;
    }
}

// Moments far beyond any song and frames of absurd size would hold the tool
// for hours or take gigabytes: refused at once, with what the limit is.
TEST_F(Tools, MomentsAndSizesBeyondTheToolsBoundsAreRefusedAtOnce) {
    struct Case {
        std::string args;
        const char* says;
    } cases[] = {
        {"--render '" + lyrics + "' --at 2147480000 --out x.png", "3600000 ms"},
        {"--timeline '" + lyrics + "' --at 5,3600001 --song-length 2147483647", "3600000 ms"},
        {"--render '" + lyrics + "' --at 10 --out x.png --size 16384x16384", "1 to 4096"},
    };
    for (const Case& c : cases) {
        const ToolRun r = run(dir, c.args);
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_TRUE(r.out.empty()) << c.args;
    }
}

// A music file is the song as the window opens it: the lyrics inside a .kar
// file wipe at their syllables' times, and nothing of the user's is written.
TEST_F(Tools, TimelineAndRenderTakeAMusicFileWithItsLyricsInside) {
    const std::string kar = ORBA_DEMO_DIR "/examples/karaoke.kar";
    const ToolRun r = run(dir, "--timeline '" + kar + "' --at 6000");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const QJsonObject f = r.frames()[0].toObject();
    EXPECT_TRUE(f["drawn"].toBool());
    EXPECT_FALSE(f["currentText"].toString().isEmpty());
    EXPECT_TRUE(f["karaokeOn"].toBool());
    const std::string png = dir.file("kar.png");
    ASSERT_EQ(run(dir, "--render '" + kar + "' --at 6000 --out '" + png + "'").exitCode, 0);
    EXPECT_GT(test::readFile(png).size(), 1000u);
    EXPECT_FALSE(std::ifstream(dir.file("none.ini")).good());
}

TEST_F(Tools, AnOversizedPerSongFileIsIgnoredWithAWarning) {
    std::filesystem::copy_file(ORBA_DEMO_DIR "/examples/karaoke.kar", dir.file("song.kar"));
    test::writeFile(dir.file("song.oka"), "");
    std::filesystem::resize_file(dir.file("song.oka"), 400ull << 20);  // sparse
    const ToolRun r = run(dir, "--timeline '" + dir.file("song.kar") + "' --at 6000");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("orbakaraoke: warning: song.oka: larger than 64 KiB, ignored\n"),
              std::string::npos)
        << r.err;
}

TEST_F(Tools, RenderWritesTheSameBytesOnEveryRun) {
    const std::string a = dir.file("a.png"), b = dir.file("b.png");
    const std::string args = "--render '" + lyrics + "' --at 10500 --size 320x240 --debug --out ";
    ASSERT_EQ(run(dir, args + "'" + a + "'").exitCode, 0);
    ASSERT_EQ(run(dir, args + "'" + b + "'").exitCode, 0);
    const std::string first = test::readFile(a);
    EXPECT_GT(first.size(), 1000u);
    EXPECT_EQ(first, test::readFile(b));
}

}  // namespace
}  // namespace orba
