#include "platform/files.h"

#include <gtest/gtest.h>

#include "tests/support/tempdir.h"

namespace orba {
namespace {

TEST(Files, PathPartsKeepTheTrailingSeparatorOfTheFolder) {
    EXPECT_EQ(folderPart("/m/song.mp3"), "/m/");
    EXPECT_EQ(folderPart("/m/okaraimg/"), "/m/okaraimg/");
    EXPECT_EQ(folderPart("/m/pictures"), "/m/");
    EXPECT_EQ(folderPart("song.mp3"), "");
    EXPECT_EQ(fileNamePart("/m/song.mp3"), "song.mp3");
    EXPECT_EQ(extensionPart("/m.d/song"), "");
    EXPECT_EQ(extensionPart("/m/song.tar.mp3"), ".mp3");
}

TEST(Files, ReplaceExtensionAppendsWhenThereIsNone) {
    EXPECT_EQ(replaceExtension("/x/song.mp3", ".oka"), "/x/song.oka");
    EXPECT_EQ(replaceExtension("/x.y/song", ".oka"), "/x.y/song.oka");
}

TEST(Files, ExistenceAcceptsFilesAndFoldersButNotEmptyPaths) {
    test::TempDir dir;
    test::writeFile(dir.file("a.txt"), "x");
    EXPECT_TRUE(fileOrFolderExists(dir.file("a.txt")));
    EXPECT_TRUE(fileOrFolderExists(dir.path()));
    EXPECT_FALSE(fileOrFolderExists(dir.file("b.txt")));
    EXPECT_FALSE(fileOrFolderExists(""));
    EXPECT_TRUE(isRegularFile(dir.file("a.txt")));
    EXPECT_FALSE(isRegularFile(dir.path()));
}

}  // namespace
}  // namespace orba
