// Runs the real `orbakaraoke --export-video` as a user would: no display, no
// sound device, songs of our own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "tests/export/videofile.h"
#include "tests/support/commandrun.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;

constexpr const char* kLyrics =
    "[00:00:20]Hello there\r\n[00:01:00]A second line\r\n[00:02:00]And the last\r\n";

class ExportToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Settings of the test's own: nothing from the machine's file.
        ::setenv("ORBAKARAOKE_INI", dir.file("none.ini").c_str(), 1);
        test::writeSilenceThenTone(dir.file("song.wav"), 0, 3000);
        test::writeFile(dir.file("song_t.txt"), kLyrics);
    }
    test::CommandRun run(const std::string& args) {
        return test::runProgram(dir, ORBAKARAOKE_BIN, args);
    }
    std::string q(const std::string& name) { return "'" + dir.file(name) + "'"; }

    TempDir dir;
};

TEST_F(ExportToolTest, MusicWithItsLyricFileShowsWhatRenderDrawsAtEachMoment) {
    const test::CommandRun r = run("--export-video " + q("song.wav") + " " + q("out.mp4") +
                                   " --size 640x360 --fps 25 --quiet");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.err.find('%'), std::string::npos) << r.err;
    const std::optional<test::VideoFileInfo> info = test::discoverVideo(dir.file("out.mp4"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->videoStreams, 1);
    EXPECT_EQ(info->audioStreams, 1);
    EXPECT_EQ(info->width, 640);
    EXPECT_NEAR(info->durationMs, 3000, 40);

    for (int at : {1040, 2000, 2800}) {
        const test::CommandRun render =
            run("--render " + q("song_t.txt") + " --at " + std::to_string(at) +
                " --song-length 3000 --size 640x360 --out " + q("f.png"));
        ASSERT_EQ(render.exitCode, 0) << render.err;
        const QImage expected(QString::fromStdString(dir.file("f.png")));
        const std::optional<QImage> frame = test::decodeFrameAt(dir.file("out.mp4"), at + 20);
        ASSERT_TRUE(frame) << at;
        // The player's thin coloured outlines lose colour in any 4:2:0 video, so
        // the match is measured on brightness.
        EXPECT_GE(test::lumaPsnr(*frame, expected), 35.0) << at;
    }
}

TEST_F(ExportToolTest, LyricFileAloneRunsSilentWithProgressOnOneLine) {
    const test::CommandRun r =
        run("--export-video " + q("song_t.txt") + " " + q("out.webm") + " --size 160x120 --fps 10");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find("\r"), std::string::npos);
    EXPECT_NE(r.err.find("100%"), std::string::npos) << r.err;
    const std::optional<test::VideoFileInfo> info = test::discoverVideo(dir.file("out.webm"));
    ASSERT_TRUE(info);
    EXPECT_EQ(info->audioStreams, 1);
    EXPECT_GT(info->durationMs, 2000);
    EXPECT_LT(test::rmsBetween(test::decodeAudio(dir.file("out.webm")), 0, 2000), 0.001);
}

TEST_F(ExportToolTest, RefusedExportsSayWhyAndWriteNothing) {
    test::writeFile(dir.file("alone.wav"), test::readFile(dir.file("song.wav")));
    struct Case {
        const char* args;
        const char* says;
    };
    for (const Case& c :
         {Case{"{d}song.wav {d}out.avi", "video type"},
          Case{"{d}song.wav {d}out.mp4 --to 5000", "after the end"},
          Case{"{d}song.wav {d}out.mp4 --fps 0", "frame rate"},
          Case{"{d}song.wav {d}out.mp4 --fps many", "--fps: 'many'"},
          Case{"{d}song.wav {d}out.mp4 --size 321x240", "even"},
          Case{"{d}song.wav {d}missing/out.mp4", "cannot write"},
          Case{"{d}alone.wav {d}out.mp4", "no lyric file"},
          Case{"{d}nothing.wav {d}out.mp4", "no such file"}, Case{"{d}song.wav", "second file"}}) {
        std::string args = c.args;
        for (std::size_t at; (at = args.find("{d}")) != std::string::npos;)
            args.replace(at, 3, dir.path() + "/");
        const test::CommandRun r = run("--export-video " + args + " --quiet");
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        for (const char* name : {"out.avi", "out.mp4", "out.mp4.part", "missing"})
            EXPECT_FALSE(std::filesystem::exists(dir.file(name))) << c.args << ": " << name;
    }
}

TEST_F(ExportToolTest, InterruptStopsTheExportAndRemovesThePartialFile) {
    const std::string out = dir.file("out.mkv");
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::unsetenv("DISPLAY");
        ::execl(ORBAKARAOKE_BIN, ORBAKARAOKE_BIN, "--export-video", dir.file("song.wav").c_str(),
                out.c_str(), "--size", "640x360", "--quiet", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    // Interrupted once it has started writing.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!std::filesystem::exists(out + ".part") && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    ::kill(child, SIGINT);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_FALSE(std::filesystem::exists(out + ".part"));
}

}  // namespace
}  // namespace orba
