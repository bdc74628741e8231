#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

// A per-song file whose keys come first and whose padding makes it `size` bytes.
void writePaddedPerSongFile(const std::string& path, std::size_t size) {
    std::string bytes = "[Option]\nTextBack=2\n[Singer]\nKey=3\n; ";
    bytes.resize(size - 1, 'x');
    writeFile(path, bytes + "\n");
}

TEST(PerSongLimit, AFileUpToTheLimitIsReadAndOneByteMoreIsIgnoredWithANote) {
    TempDir dir;
    writePaddedPerSongFile(dir.file("a.oka"), kMaxPerSongFileBytes);
    Settings s;
    EXPECT_EQ(applyPerSongFile(dir.file("a.mp3"), s), "");
    EXPECT_EQ(s.textBack, 2);
    EXPECT_EQ(readPerSongSinger(dir.file("a.mp3")).key, 3);

    writePaddedPerSongFile(dir.file("b.oka"), kMaxPerSongFileBytes + 1);
    Settings t;
    EXPECT_EQ(applyPerSongFile(dir.file("b.mp3"), t), "b.oka: larger than 64 KiB, ignored");
    EXPECT_EQ(t.textBack, Settings{}.textBack);
    EXPECT_EQ(readPerSongSinger(dir.file("b.mp3")), SingerControls{});

    // No file is no news; a folder in its place is.
    EXPECT_EQ(applyPerSongFile(dir.file("none.mp3"), t), "");
    std::filesystem::create_directory(dir.file("d.oka"));
    EXPECT_EQ(applyPerSongFile(dir.file("d.mp3"), t), "d.oka: a folder, not a file, ignored");
}

TEST(PerSongLimit, ASaveNeverRewritesAFileItWouldNotRead) {
    TempDir dir;
    // Sparse: 400 MiB that cost no disk and must never be read.
    writeFile(dir.file("a.oka"), "[Option]\nTextBack=1\n");
    std::filesystem::resize_file(dir.file("a.oka"), 400ull << 20);
    EXPECT_THROW(writePerSongFile(dir.file("a.mp3"), Settings{}), ProfileWriteError);
    EXPECT_THROW(writePerSongFile(dir.file("a.mp3"), Settings{}, SingerControls{}),
                 ProfileWriteError);
    EXPECT_EQ(std::filesystem::file_size(dir.file("a.oka")), 400ull << 20);
}

}  // namespace
}  // namespace orba
