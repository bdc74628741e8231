#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/profilefile.h"
#include "settings/settingsstore.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(PerSongSave, WritesTheFourLooksAndTheNextLoadAppliesThem) {
    TempDir dir;
    Settings s;
    s.textBack = 2;
    s.noiseType = 3;
    s.noiseColor = 1;
    s.backgroundType = 4;
    writePerSongFile(dir.file("a.mp3"), s);
    EXPECT_EQ(perSongFilePath(dir.file("a.mp3")), dir.file("a.oka"));
    EXPECT_EQ(readFile(dir.file("a.oka")),
              "[Option]\nTextBack=2\n[Effect]\niNoiseT=3\niNoiseC=1\niBackT=4\n");

    writeFile(dir.file("a.mp3"), "");
    Settings global;                              // the global file's values
    applyPerSongFile(dir.file("a.wav"), global);  // a.wav shares a.oka
    EXPECT_EQ(global.textBack, 2);
    EXPECT_EQ(global.backgroundType, 4);
}

TEST(PerSongSave, ARefusedWriteIsAnErrorThatNamesTheFile) {
    TempDir dir;
    writeFile(dir.file("a.oka"), "[Option]\nTextBack=1\n");
    ::chmod(dir.file("a.oka").c_str(), 0444);
    try {
        writePerSongFile(dir.file("a.mp3"), Settings{});
        FAIL() << "no error";
    } catch (const ProfileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), dir.file("a.oka") + " に書き込めません");
    }
    EXPECT_EQ(readFile(dir.file("a.oka")), "[Option]\nTextBack=1\n");
}

}  // namespace
}  // namespace orba
