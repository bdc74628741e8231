#include "lyrics/messagefile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "tests/lyrics/sj.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

struct SplitCase {
    std::string bytes;
    Lines lines;
};

void PrintTo(const SplitCase& c, std::ostream* os) {
    test::printQuoted(c.bytes, os, true);
}

class SplitLines : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitLines, FollowsTheStringListRules) {
    EXPECT_EQ(splitLines(GetParam().bytes), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    LineEnds, SplitLines,
    ::testing::Values(SplitCase{"", {}}, SplitCase{"a", {"a"}}, SplitCase{"a\n", {"a"}},
                      SplitCase{"a\r\nb", {"a", "b"}}, SplitCase{"a\rb\r", {"a", "b"}},
                      SplitCase{"a\n\n", {"a", ""}}, SplitCase{"\r\n", {""}},
                      SplitCase{"a\r\r\nb", {"a", "", "b"}}, SplitCase{"a\n\rb", {"a", "", "b"}},
                      SplitCase{std::string("a\0b\n\0", 5),
                                {std::string("a\0b", 3), std::string(1, '\0')}},
                      // Shift-JIS bytes stay as they are, ソ's "\" and ー's "[" included
                      SplitCase{"\x83\x5C\x81\x5B\r\n\x82", {"\x83\x5C\x81\x5B", "\x82"}}));

TEST(ReadMessageFile, ReadsTheBytesOfTheFile) {
    test::TempDir dir;
    test::writeFile(dir.file("song.txt"), "[00:01:00]\x83\x5C\r\nb");
    EXPECT_EQ(readMessageFile(dir.file("song.txt")), (Lines{"[00:01:00]\x83\x5C", "b"}));
}

TEST(ReadMessageFile, MissingFileOrFolderCannotBeRead) {
    test::TempDir dir;
    ASSERT_EQ(::mkfifo(dir.file("pipe.txt").c_str(), 0600), 0);
    EXPECT_EQ(readMessageFile(dir.file("pipe.txt")), std::nullopt);
    EXPECT_EQ(readMessageFile("/dev/zero"), std::nullopt);
    EXPECT_EQ(readMessageFile(dir.file("none.txt")), std::nullopt);
    EXPECT_EQ(readMessageFile(dir.path()), std::nullopt);
    EXPECT_EQ(readMessageFile(""), std::nullopt);
}

TEST(ReadMessageFile, AFileOverTheLimitIsNotReadAtAll) {
    test::TempDir dir;
    std::string bytes(kMaxMessageFileBytes, 'a');
    bytes[10] = '\n';
    test::writeFile(dir.file("limit.txt"), bytes);
    const auto lines = readMessageFile(dir.file("limit.txt"));
    ASSERT_TRUE(lines);
    EXPECT_EQ(lines->size(), 2u);
    test::writeFile(dir.file("over.txt"), bytes + "a");
    EXPECT_EQ(readMessageFile(dir.file("over.txt")), std::nullopt);
}

}  // namespace
}  // namespace orba
