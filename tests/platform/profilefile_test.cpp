#include "platform/profilefile.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>

#include "tests/support/filereplaces.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(ProfileInteger, AcceptsDecimalSignedAndHexadecimal) {
    struct Case {
        const char* text;
        int expected;
    } cases[] = {
        {"42", 42},
        {"-7", -7},
        {"+3", 3},
        {" 12 ", 12},
        {"0x1F", 31},
        {"0XfF", 255},
        {"0xFFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", -2147483647 - 1},
    };
    for (const Case& c : cases) EXPECT_EQ(parseProfileInteger(c.text, 99), c.expected) << c.text;
}

TEST(ProfileInteger, UnusableTextGivesTheDefault) {
    for (const char* text : {"", "abc", "12abc", "0x", "0x1G", "1.5", "2147483648",
                             "99999999999999999999", "0x123456789", "--1", "1 2"})
        EXPECT_EQ(parseProfileInteger(text, 99), 99) << text;
}

TEST(ProfileFile, MissingFileSectionOrKeyGivesDefaults) {
    TempDir dir;
    ProfileFile missing(dir.file("none.ini"));
    EXPECT_EQ(missing.readInteger("Option", "Volume", 20), 20);
    EXPECT_TRUE(missing.readBool("Option", "showNext", true));
    EXPECT_EQ(missing.readString("Option", "BGM", "x"), "x");

    writeFile(dir.file("a.ini"), "[Option]\nVolume=5\n");
    ProfileFile f(dir.file("a.ini"));
    EXPECT_EQ(f.readInteger("Effect", "Volume", 1), 1);
    EXPECT_EQ(f.readInteger("Option", "Other", 2), 2);
}

TEST(ProfileFile, NamesMatchWithoutCaseAndTheFirstMatchWins) {
    TempDir dir;
    writeFile(dir.file("a.ini"),
              "[option]\r\n"
              "  VOLUME = 30 \r\n"
              "volume=40\r\n"
              "[Option]\r\n"
              "Volume=50\r\n"
              "Extra=1\r\n");
    ProfileFile f(dir.file("a.ini"));
    EXPECT_EQ(f.readInteger("Option", "Volume", 0), 30);
    // Keys of a later section of the same name are not seen.
    EXPECT_EQ(f.readInteger("Option", "Extra", 9), 9);
}

TEST(ProfileFile, BooleansGoThroughIntegers) {
    TempDir dir;
    writeFile(dir.file("a.ini"), "[S]\na=0\nb=2\nc=-1\nd=yes\ne=0x0\n");
    ProfileFile f(dir.file("a.ini"));
    EXPECT_FALSE(f.readBool("S", "a", true));
    EXPECT_TRUE(f.readBool("S", "b", false));
    EXPECT_TRUE(f.readBool("S", "c", false));
    EXPECT_TRUE(f.readBool("S", "d", true));  // not a number: default
    EXPECT_FALSE(f.readBool("S", "d", false));
    EXPECT_FALSE(f.readBool("S", "e", true));
}

TEST(ProfileFile, StringsAreCutAt2047AndLoseEnclosingQuotes) {
    TempDir dir;
    std::string longValue(5000, 'x');
    writeFile(dir.file("a.ini"), "[S]\nlong=" + longValue + "\nq=\"C:\\a b\\\"\nempty=\n");
    ProfileFile f(dir.file("a.ini"));
    EXPECT_EQ(f.readString("S", "long", "").size(), 2047u);
    EXPECT_EQ(f.readString("S", "q", ""), "C:\\a b\\");
    EXPECT_EQ(f.readString("S", "empty", "default"), "");
}

TEST(ProfileFile, GarbageNulBytesAndHugeLinesReadAsDefaults) {
    TempDir dir;
    std::string bytes = "\x01\xff\xfe[garbage\n";
    bytes += std::string("no equals sign here\n");
    bytes += std::string("[S]\n");
    bytes += std::string(1 << 20, 'z') + "\n";
    bytes += std::string("a\0b=1\n", 6);
    bytes += "v=7\n";
    bytes += std::string("\0\0\0", 3);
    writeFile(dir.file("a.ini"), bytes);
    ProfileFile f(dir.file("a.ini"));
    EXPECT_EQ(f.readInteger("S", "v", 0), 7);
    EXPECT_EQ(f.readInteger("S", "missing", 3), 3);
    EXPECT_EQ(f.readInteger("garbage", "x", 4), 4);
}

TEST(ProfileFile, AFolderWhereTheFileShouldBeReadsDefaultsAndRefusesWrites) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("a.ini"));
    ProfileFile f(dir.file("a.ini"));
    EXPECT_EQ(f.readInteger("S", "k", 5), 5);
    f.writeInteger("S", "k", 1);
    try {
        f.commit();
        FAIL() << "write into a folder succeeded";
    } catch (const ProfileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), dir.file("a.ini") + " に書き込めません");
    }
}

TEST(ProfileFile, WritingOneKeyKeepsEveryOtherLine) {
    TempDir dir;
    const std::string original =
        "; my settings\r\n"
        "[Form]\r\n"
        "StayOnTop=0\r\n"
        "\r\n"
        "[Option]\r\n"
        "Custom=keep me\r\n"
        "wipestyle=0\r\n"
        "# another comment\r\n"
        "\r\n"
        "[Unknown]\r\n"
        "x=y\r\n";
    writeFile(dir.file("a.ini"), original);
    ProfileFile f(dir.file("a.ini"));
    f.writeInteger("Option", "WipeStyle", 1);
    f.writeBool("Option", "showNext", true);
    f.writeString("NewSection", "Key", "value");
    f.commit();
    EXPECT_EQ(readFile(dir.file("a.ini")),
              "; my settings\r\n"
              "[Form]\r\n"
              "StayOnTop=0\r\n"
              "\r\n"
              "[Option]\r\n"
              "Custom=keep me\r\n"
              "WipeStyle=1\r\n"
              "# another comment\r\n"
              "showNext=1\r\n"
              "\r\n"
              "[Unknown]\r\n"
              "x=y\r\n"
              "[NewSection]\r\n"
              "Key=value\r\n");
}

TEST(ProfileFile, WritesCreateTheFileAndAreSeenByLaterReads) {
    TempDir dir;
    ProfileFile f(dir.file("new.ini"));
    f.writeString("Option", "BGM", "/music/歌.mp3");
    f.writeInteger("Option", "Volume", -3);
    EXPECT_EQ(f.readString("Option", "BGM", ""), "/music/歌.mp3");
    f.commit();
    ProfileFile again(dir.file("new.ini"));
    EXPECT_EQ(again.readInteger("Option", "Volume", 0), -3);
    EXPECT_EQ(readFile(dir.file("new.ini")), "[Option]\nBGM=/music/歌.mp3\nVolume=-3\n");
}

TEST(ProfileFile, AValueWithALineBreakStaysOnItsLine) {
    TempDir dir;
    ProfileFile f(dir.file("a.ini"));
    f.writeString("S", "k", "a\nb=c");
    f.writeInteger("S", "b", 2);
    f.commit();
    ProfileFile again(dir.file("a.ini"));
    EXPECT_EQ(again.readString("S", "k", ""), "a b=c");
    EXPECT_EQ(again.readInteger("S", "b", 0), 2);
}

// Entries of a folder: a failed save must leave no temporary file behind.
int entriesIn(const std::string& folder) {
    int entries = 0;
    for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder)) ++entries;
    return entries;
}

TEST(ProfileFile, AnOperationOfManyKeysReplacesTheFileOnce) {
    TempDir dir;
    writeFile(dir.file("a.ini"), "[S]\na=1\n");
    test::FileReplaceCounter replaces(dir.file("a.ini"));
    ProfileFile f(dir.file("a.ini"));
    for (int i = 0; i < 25; ++i) f.writeInteger("S", "k" + std::to_string(i), i);
    EXPECT_EQ(replaces.count(), 0);
    f.commit();
    EXPECT_EQ(replaces.count(), 1);
    // Nothing written since: nothing to replace.
    f.commit();
    EXPECT_EQ(replaces.count(), 1);
    EXPECT_EQ(ProfileFile(dir.file("a.ini")).readInteger("S", "k24", 0), 24);
}

TEST(ProfileFile, AReadOnlyFileIsRefusedAndStaysAsItWas) {
    TempDir dir;
    writeFile(dir.file("a.ini"), "[S]\na=1\n");
    ::chmod(dir.file("a.ini").c_str(), 0444);
    ProfileFile f(dir.file("a.ini"));
    f.writeInteger("S", "a", 2);
    f.writeInteger("S", "b", 3);
    EXPECT_THROW(f.commit(), ProfileWriteError);
    EXPECT_EQ(readFile(dir.file("a.ini")), "[S]\na=1\n");
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

// A disk that fills up halfway through the new file: the write of the
// temporary file fails after part of it reached the disk.
TEST(ProfileFile, AWriteCutShortLeavesTheOldFileByteForByte) {
    TempDir dir;
    const std::string original = "; mine\r\n[S]\r\na=1\r\n";
    writeFile(dir.file("a.ini"), original);
    ProfileFile f(dir.file("a.ini"));
    f.writeString("S", "long", std::string(1000, 'x'));
    f.writeString("T", "longer", std::string(20000, 'y'));

    rlimit saved{};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool refused = false;
    try {
        f.commit();
    } catch (const ProfileWriteError& e) {
        refused = std::string(e.what()) == dir.file("a.ini") + " に書き込めません";
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_TRUE(refused);
    EXPECT_EQ(readFile(dir.file("a.ini")), original);
    EXPECT_EQ(entriesIn(dir.path()), 1);
}

TEST(ProfileFile, ReadingNeverCreatesAFolderAndTheFirstSaveDoes) {
    TempDir dir;
    const std::string path = dir.file("config/orbakaraoke/a.ini");
    ProfileFile f(path);
    EXPECT_EQ(f.readInteger("S", "k", 5), 5);
    EXPECT_FALSE(std::filesystem::exists(dir.file("config")));
    f.writeInteger("S", "k", 1);
    f.commit();
    EXPECT_EQ(readFile(path), "[S]\nk=1\n");
}

TEST(ProfileFile, NewLinesFollowTheFilesOwnLineEnds) {
    struct Case {
        const char* original;
        const char* expected;
    } cases[] = {
        {"[S]\ra=1\r", "[S]\ra=1\rb=2\r[T]\rc=3\r"},
        {"[S]\r\na=1\r\n", "[S]\r\na=1\r\nb=2\r\n[T]\r\nc=3\r\n"},
        {"[S]\na=1\n", "[S]\na=1\nb=2\n[T]\nc=3\n"},
        {"[S]\ra=1", "[S]\ra=1\rb=2\r[T]\rc=3\r"},
        // Mixed line ends: new lines take the platform's own.
        {"[S]\r\na=1\r", "[S]\r\na=1\rb=2\n[T]\nc=3\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.original);
        TempDir dir;
        writeFile(dir.file("a.ini"), c.original);
        ProfileFile f(dir.file("a.ini"));
        f.writeInteger("S", "b", 2);
        f.writeInteger("T", "c", 3);
        f.commit();
        EXPECT_EQ(readFile(dir.file("a.ini")), c.expected);
    }
}

TEST(ProfileFile, ALastLineWithoutLineEndGetsOneBeforeNewLines) {
    TempDir dir;
    writeFile(dir.file("a.ini"), "[S]\na=1");
    ProfileFile f(dir.file("a.ini"));
    f.writeInteger("S", "b", 2);
    f.commit();
    EXPECT_EQ(readFile(dir.file("a.ini")), "[S]\na=1\nb=2\n");
}

}  // namespace
}  // namespace orba
