#include "export/outputfile.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/foldersnapshot.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

void writeAll(int fd, const std::string& bytes) {
    ASSERT_EQ(::write(fd, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
}

// The names of the partial files are easy to guess; one planted in advance,
// as a link to the song, is passed over and never written through.
TEST(OutputFile, APlantedPartialNameIsPassedOver) {
    TempDir dir;
    test::writeFile(dir.file("song.txt"), "lyrics");
    const std::string planted = dir.file(".out.mkv." + std::to_string(::getpid()) + "-0.part");
    fs::create_symlink("song.txt", planted);
    const test::FolderSnapshot before = test::snapshotFolder(dir.path());

    OutputFile out;
    ASSERT_EQ(out.open(dir.file("out.mkv"), {dir.file("song.txt")}, false), "");
    EXPECT_NE(out.partialPath(), planted);
    writeAll(out.descriptor(), "video");
    ASSERT_EQ(out.commit(), "");
    EXPECT_EQ(test::snapshotFolder(dir.path(), {"out.mkv"}), before);
    EXPECT_EQ(test::readFile(dir.file("out.mkv")), "video");
}

// Only our own partial file goes: another file put at its name meanwhile stays.
TEST(OutputFile, DiscardLeavesAFileThatTookThePartialName) {
    TempDir dir;
    OutputFile out;
    ASSERT_EQ(out.open(dir.file("out.mp4"), {}, false), "");
    test::writeFile(dir.file("theirs"), "theirs");
    fs::rename(dir.file("theirs"), out.partialPath());
    const std::string partial = out.partialPath();
    out.discard();
    EXPECT_EQ(test::readFile(partial), "theirs");

    ASSERT_EQ(out.open(dir.file("out.mp4"), {}, false), "");
    out.discard();
    EXPECT_EQ(test::snapshotFolder(dir.path(), {fs::path(partial).filename().string()}),
              test::FolderSnapshot{});
}

}  // namespace
}  // namespace orba
