#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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

TEST(Files, ABoundedReadTakesARegularFileUpToTheLimitAndNothingElse) {
    test::TempDir dir;
    test::writeFile(dir.file("ten.txt"), std::string("0123\0\r\n789", 10));
    EXPECT_EQ(readBoundedFile(dir.file("ten.txt"), 10), std::string("0123\0\r\n789", 10));
    EXPECT_EQ(readBoundedFile(dir.file("ten.txt"), 9), std::nullopt);
    test::writeFile(dir.file("empty.txt"), "");
    EXPECT_EQ(readBoundedFile(dir.file("empty.txt"), 0), "");
    std::filesystem::create_symlink(dir.file("ten.txt"), dir.file("link.txt"));
    EXPECT_EQ(readBoundedFile(dir.file("link.txt"), 10)->size(), 10u);

    EXPECT_EQ(readBoundedFile(dir.file("missing.txt"), 100), std::nullopt);
    EXPECT_EQ(readBoundedFile(dir.path(), 100), std::nullopt);
    EXPECT_EQ(readBoundedFile("", 100), std::nullopt);
    // A device reads for ever, a pipe waits for a writer for ever.
    EXPECT_EQ(readBoundedFile("/dev/zero", 100), std::nullopt);
    ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
    EXPECT_EQ(readBoundedFile(dir.file("pipe.txt"), 100), std::nullopt);
}

TEST(Files, ARefusedReadSaysWhyInWords) {
    test::TempDir dir;
    test::writeFile(dir.file("ten.txt"), "0123456789");
    ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
    struct Case {
        std::string path;
        std::size_t limit;
        std::string why;
    };
    for (const Case& c : {
             Case{dir.file("ten.txt"), 9, "larger than 9 bytes"},
             Case{dir.file("ten.txt"), 1, "larger than 1 byte"},
             Case{dir.file("missing.txt"), 100, "cannot open it: No such file or directory"},
             Case{dir.path(), 100, "a folder, not a file"},
             Case{dir.file("pipe.txt"), 100, "a pipe, not a file"},
             Case{"/dev/zero", 100, "a device, not a file"},
             Case{"", 100, "no file name"},
         }) {
        std::string why;
        EXPECT_EQ(readBoundedFile(c.path, c.limit, &why), std::nullopt) << c.path;
        EXPECT_EQ(why, c.why) << c.path;
    }
    std::string why = "untouched";
    EXPECT_TRUE(readBoundedFile(dir.file("ten.txt"), 10, &why));
    EXPECT_EQ(why, "untouched");
}

TEST(Files, WildcardsIgnoreLetterCaseAndStarDotStarMatchesEveryName) {
    struct Case {
        const char* name;
        const char* pattern;
        bool match;
    } cases[] = {
        {"PIC.JPG", "*.jpg", true}, {"pic.jpeg", "*.jpg", false}, {"a.jpg.txt", "*.jpg", false},
        {"noext", "*.*", true},     {".hidden", "*.*", true},     {"a.b.c", "*.c", true},
        {"ab", "a?", true},         {"a", "a?", false},           {"x", "", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(wildcardMatch(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
}

TEST(Files, ListingSkipsFoldersAndRefusesAMissingOrEmptyFolder) {
    test::TempDir dir;
    test::writeFile(dir.file("a.JPG"), "");
    test::writeFile(dir.file("b.txt"), "");
    std::filesystem::create_directory(dir.file("c.jpg"));
    std::vector<std::string> names{"stale"};
    EXPECT_TRUE(listFiles(dir.path() + "/", "*.jpg", names));
    EXPECT_EQ(names, std::vector<std::string>{"a.JPG"});
    EXPECT_FALSE(listFiles(dir.file("missing/"), "*.*", names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(listFiles("", "*.*", names));
}

}  // namespace
}  // namespace orba
