#include "tools/probetool.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/playback/mediafixtures.h"

namespace orba {
namespace {

struct ProbeRun {
    int exitCode;
    std::string out;
};

ProbeRun probe(std::vector<std::string> args) {
    args.insert(args.begin(), "--probe");
    ::testing::internal::CaptureStdout();
    int code = runProbe(args);
    return {code, ::testing::internal::GetCapturedStdout()};
}

using test::jsonField;

TEST(Probe, ReportsAPlayableFile) {
    test::TempDir dir;
    std::string path = dir.file("tone.wav");
    ASSERT_TRUE(test::writeTone(path, 1000));
    ProbeRun run = probe({path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(jsonField(run.out, "length"), "1000");
    EXPECT_EQ(jsonField(run.out, "error"), "0");
    EXPECT_EQ(jsonField(run.out, "errorText"), "\"\"");
    EXPECT_EQ(jsonField(run.out, "isMidi"), "false");
    EXPECT_EQ(jsonField(run.out, "position"), "");
}

// The device plays a file as MIDI by its content; the probe says the same,
// whatever the file is called.
TEST(Probe, CountsMidiAsTheDevicePlaysIt) {
    test::TempDir dir;
    std::string path = dir.file("SONG.MID");
    test::writeFile(path, test::tempoChangeMidi());
    ProbeRun run = probe({path});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(jsonField(run.out, "length"), "3000");
    EXPECT_EQ(jsonField(run.out, "isMidi"), "true");

    std::string named = dir.file("song.mp3");
    test::writeFile(named, test::tempoChangeMidi());
    EXPECT_EQ(jsonField(probe({named}).out, "isMidi"), "true");
    std::string wav = dir.file("tone.wav");
    ASSERT_TRUE(test::writeTone(wav, 500));
    std::filesystem::rename(wav, dir.file("tone.mid"));
    EXPECT_EQ(jsonField(probe({dir.file("tone.mid")}).out, "isMidi"), "false");
}

TEST(Probe, FileThatDoesNotOpenStillAnswersAndExitsWithTwo) {
    test::TempDir dir;
    ProbeRun run = probe({dir.file("gone.mp3"), "--play", "100"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(jsonField(run.out, "length"), "0");
    EXPECT_NE(jsonField(run.out, "error"), "0");
    EXPECT_NE(jsonField(run.out, "errorText"), "\"\"");
    EXPECT_EQ(jsonField(run.out, "position"), "");
}

TEST(Probe, WrongArgumentsPrintNothingAndExitWithTwo) {
    for (std::vector<std::string> args : std::vector<std::vector<std::string>>{
             {}, {"a.mp3", "--play"}, {"a.mp3", "--play", "soon"}, {"a.mp3", "b.mp3"}}) {
        ProbeRun run = probe(args);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.out, "");
    }
}

}  // namespace
}  // namespace orba
