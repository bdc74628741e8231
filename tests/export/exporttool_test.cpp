// Runs the real `orbakaraoke --export-video` as a user would: no display, no
// sound device, songs of our own.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <thread>

#include "tests/export/videofile.h"
#include "tests/support/commandrun.h"
#include "tests/support/cdgwriter.h"
#include "tests/support/foldersnapshot.h"
#include "tests/support/tempdir.h"
#include "tests/support/zipwriter.h"

namespace orba {
namespace {

using test::TempDir;

constexpr const char* kLyrics =
    "[00:00:20]Hello there\r\n[00:01:00]A second line\r\n[00:02:00]And the last\r\n";
// A long song of a lyric file alone, which no test sees to its end.
constexpr const char* kLongLyrics = "[00:00:20]Hello there\r\n[59:00:00]The end\r\n";

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
    // "{d}" in `args` stands for the test's folder.
    test::CommandRun runIn(std::string args) {
        for (std::size_t at; (at = args.find("{d}")) != std::string::npos;)
            args.replace(at, 3, dir.path() + "/");
        return run("--export-video " + args);
    }
    // The folder as the user left it: what the command writes its output to
    // is not the user's.
    test::FolderSnapshot userFiles(const std::set<std::string>& skip = {}) {
        std::set<std::string> names = skip;
        names.insert({"stdout", "stderr"});
        return test::snapshotFolder(dir.path(), names);
    }
    // The export of long.txt to out.mkv, started with the hangup signal as
    // `hangup` and the others as they are by default.
    pid_t startLongExport(void (*hangup)(int)) {
        const pid_t child = ::fork();
        if (child != 0) return child;
        ::unsetenv("DISPLAY");
        for (int sig : {SIGINT, SIGTERM}) std::signal(sig, SIG_DFL);
        std::signal(SIGHUP, hangup);
        ::execl(ORBAKARAOKE_BIN, ORBAKARAOKE_BIN, "--export-video", dir.file("long.txt").c_str(),
                dir.file("out.mkv").c_str(), "--size", "64x36", "--fps", "5", "--quiet",
                static_cast<char*>(nullptr));
        ::_exit(127);
    }
    bool waitUntilWriting(const test::FolderSnapshot& before) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (userFiles().size() == before.size()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    TempDir dir;
};

// A song sold as one zip exports as it plays: its music read out of the zip,
// its graphics as the picture.
TEST_F(ExportToolTest, AZipSongExportsItsMusicAndItsGraphics) {
    test::CdgWriter graphics;
    graphics.colourTable(0, false, {0x000, 0xF00, 0x0F0, 0x00F, 0xFF0});
    graphics.memoryPreset(1, 3).borderPreset(2, 1).endAt(test::CdgWriter::packetAt(3000));
    ASSERT_TRUE(test::writeZip(dir.file("sold.zip"), {{"song.wav", test::readFile(dir.file("song.wav"))},
                                                      {"song.cdg", graphics.bytes()}}));
    const test::CommandRun r =
        run("--export-video " + q("sold.zip") + " " + q("out.mp4") + " --size 320x240 --quiet");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    const std::vector<float> sound = test::decodeAudio(dir.file("out.mp4"));
    EXPECT_GT(test::rmsBetween(sound, 500, 2500), 0.05);
    const std::optional<QImage> frame = test::decodeFrameAt(dir.file("out.mp4"), 1500);
    ASSERT_TRUE(frame);
    const QColor screen = frame->pixelColor(160, 120), border = frame->pixelColor(2, 120);
    EXPECT_TRUE(screen.blue() > 200 && screen.red() < 60) << screen.name().toStdString();
    EXPECT_TRUE(border.red() > 200 && border.blue() < 60) << border.name().toStdString();
}

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

// Songs whose lyrics are an LRC file beside them or lyric events inside
// them export with those lyrics, as the window and --render show them.
TEST_F(ExportToolTest, LrcAndKaraokeExamplesExportWithTheLyricsRenderShows) {
    const std::string examples = std::string(ORBA_DEMO_DIR) + "/examples/";
    for (const char* name : {"asanouta.mp3", "karaoke.kar"}) {
        const std::string song = "'" + examples + name + "'";
        const test::CommandRun r = run("--export-video " + song + " " + q("out.mkv") +
                                       " --from 4000 --to 5200 --size 320x180 --fps 10" +
                                       " --quiet --overwrite");
        ASSERT_EQ(r.exitCode, 0) << name << ": " << r.err;
        const int at = 5000;
        const test::CommandRun render = run("--render " + song + " --at " + std::to_string(at) +
                                            " --size 320x180 --out " + q("f.png"));
        ASSERT_EQ(render.exitCode, 0) << render.err;
        const QImage expected(QString::fromStdString(dir.file("f.png")));
        const std::optional<QImage> frame = test::decodeFrameAt(dir.file("out.mkv"), at - 4000 + 50);
        ASSERT_TRUE(frame) << name;
        EXPECT_GE(test::lumaPsnr(*frame, expected), 30.0) << name;
    }
    // A song without lyrics exports with its scenes alone.
    test::writeFile(dir.file("alone.wav"), test::readFile(dir.file("song.wav")));
    const test::CommandRun alone = runIn("{d}alone.wav {d}alone.webm --size 64x36 --fps 5 --quiet");
    EXPECT_EQ(alone.exitCode, 0) << alone.err;
    EXPECT_TRUE(test::discoverVideo(dir.file("alone.webm")));
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
    struct Case {
        const char* args;
        std::string says;
    };
    const test::FolderSnapshot before = userFiles();
    for (const Case& c :
         {Case{"{d}song.wav {d}out.avi", "video type"},
          Case{"{d}song.wav {d}out.mp4 --to 5000", "after the end"},
          Case{"{d}song.wav {d}out.mp4 --fps 0", "frame rate"},
          Case{"{d}song.wav {d}out.mp4 --fps many", "--fps: 'many'"},
          Case{"{d}song.wav {d}out.mp4 --size 321x240", "even"},
          Case{"{d}song.wav {d}out.mp4 --size 14x36", "at least 16x16"},
          Case{"{d}song.wav {d}out.mp4 --size 64x8", "at least 16x16"},
          Case{"{d}song.wav {d}missing/out.mp4", "there is no folder " + dir.file("missing")},
          Case{"{d}song.wav {d}song_t.txt/out.mp4", "cannot write"},
          Case{"{d}nothing.wav {d}out.mp4", "no such file"}, Case{"{d}song.wav", "second file"}}) {
        const test::CommandRun r = runIn(c.args + std::string(" --quiet"));
        EXPECT_EQ(r.exitCode, 2) << c.args;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(userFiles(), before) << c.args;
    }
}

// Each case puts something of the user's where the export writes; none of it
// may change, and nothing may be encoded.
TEST_F(ExportToolTest, OutputsThatAreTheUsersFilesAreRefusedBeforeEncoding) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* args;
        const char* says;
    };
    const std::string lyrics = test::readFile(dir.file("song_t.txt"));
    const Case cases[] = {
        {"a lyric file under a video name, onto itself",
         [&] { test::writeFile(dir.file("lyrics.mkv"), lyrics); },
         "{d}lyrics.mkv {d}lyrics.mkv --overwrite", "the export reads it"},
        {"a link to the music", [&] { fs::create_symlink("song.wav", dir.file("out.mp4")); },
         "{d}song.wav {d}out.mp4 --overwrite", "the export reads it"},
        {"a hard link to the lyric file",
         [&] { fs::create_hard_link(dir.file("song_t.txt"), dir.file("out.mkv")); },
         "{d}song.wav {d}out.mkv --overwrite", "the export reads it"},
        {"an earlier video, without --overwrite",
         [&] { test::writeFile(dir.file("out.mp4"), "earlier"); }, "{d}song.wav {d}out.mp4",
         "out.mp4 exists already (--overwrite replaces it)"},
        {"a dangling link, without --overwrite",
         [&] { fs::create_symlink("nowhere.mp4", dir.file("out.mp4")); }, "{d}song.wav {d}out.mp4",
         "exists already"},
        {"a folder", [&] { fs::create_directory(dir.file("out.mp4")); },
         "{d}song.wav {d}out.mp4 --overwrite", "it is a folder"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.setUp();
        const test::FolderSnapshot before = userFiles();
        // Without --quiet: a refusal before encoding shows no progress.
        const test::CommandRun r = runIn(std::string(c.args) + " --size 64x36 --fps 5");
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find('%'), std::string::npos) << r.err;
        EXPECT_EQ(userFiles(), before);
        for (const char* name : {"lyrics.mkv", "out.mp4", "out.mkv"})
            fs::remove_all(dir.file(name));
    }
}

// Each case puts something of the user's beside the output; the export makes
// its video and leaves all of it as it was.
TEST_F(ExportToolTest, ExportsLeaveEveryOtherFileAsItWas) {
    namespace fs = std::filesystem;
    struct Case {
        const char* what;
        std::function<void()> setUp;
        const char* song;
        const char* out;
        const char* flags;
    };
    const std::string lyrics = test::readFile(dir.file("song_t.txt"));
    const Case cases[] = {
        {"a leftover partial name linked to the music",
         [&] { fs::create_symlink("song.wav", dir.file("out.mp4.part")); }, "song.wav", "out.mp4",
         ""},
        {"a browser's partial download of the same name",
         [&] { test::writeFile(dir.file("out.webm.part"), "half a download"); }, "song.wav",
         "out.webm", ""},
        {"a song named as the output's partial file",
         [&] { test::writeFile(dir.file("clip.mp4.part"), lyrics); }, "clip.mp4.part", "clip.mp4",
         ""},
        {"an earlier video replaced with --overwrite",
         [&] { test::writeFile(dir.file("earlier.mkv"), "earlier"); }, "song.wav", "earlier.mkv",
         "--overwrite"},
        {"a link replaced with --overwrite, its file kept",
         [&] {
             test::writeFile(dir.file("kept.mkv"), "kept");
             fs::create_symlink("kept.mkv", dir.file("link.mkv"));
         },
         "song.wav", "link.mkv", "--overwrite"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.setUp();
        const test::FolderSnapshot before = userFiles({c.out});
        const test::CommandRun r = runIn(std::string("{d}") + c.song + " {d}" + c.out + " " +
                                         c.flags + " --size 64x36 --fps 5 --to 600 --quiet");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_EQ(userFiles({c.out}), before);
        ASSERT_FALSE(fs::is_symlink(dir.file(c.out)));
        const std::optional<test::VideoFileInfo> info = test::discoverVideo(dir.file(c.out));
        ASSERT_TRUE(info);
        EXPECT_EQ(info->width, 64);
    }
}

class ExportToolSignal : public ExportToolTest, public ::testing::WithParamInterface<int> {};

// Ctrl+C, kill and a closed terminal alike stop the export once it writes,
// and leave the folder as it was, a partial download of the same name included.
TEST_P(ExportToolSignal, StopsTheExportAndLeavesTheFolderAsItWas) {
    test::writeFile(dir.file("long.txt"), kLongLyrics);
    test::writeFile(dir.file("out.mkv.part"), "half a download");
    const test::FolderSnapshot before = userFiles();
    const pid_t child = startLongExport(SIG_DFL);
    ASSERT_GE(child, 0);
    EXPECT_TRUE(waitUntilWriting(before));
    ::kill(child, GetParam());
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 2);
    EXPECT_EQ(userFiles(), before);
}

// Started under nohup, the export goes on when the terminal closes.
TEST_F(ExportToolTest, AnIgnoredHangupLeavesTheExportRunning) {
    test::writeFile(dir.file("long.txt"), kLongLyrics);
    const test::FolderSnapshot before = userFiles();
    const pid_t child = startLongExport(SIG_IGN);
    ASSERT_GE(child, 0);
    EXPECT_TRUE(waitUntilWriting(before));
    ::kill(child, SIGHUP);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    int status = 0;
    EXPECT_EQ(::waitpid(child, &status, WNOHANG), 0);
    ::kill(child, SIGINT);
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_EQ(userFiles(), before);
}

INSTANTIATE_TEST_SUITE_P(Signals, ExportToolSignal, ::testing::Values(SIGINT, SIGTERM, SIGHUP),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(sigabbrev_np(info.param));
                         });

}  // namespace
}  // namespace orba
