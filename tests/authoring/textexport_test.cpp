#include "authoring/textexport.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "lyrics/textforms.h"
#include "tests/lyrics/sj.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using Lines = std::vector<std::string>;

std::string sj(const std::string& utf8) {
    return utf8ToSjis(utf8);
}

struct FormCase {
    const char* line;  // UTF-8, converted to Shift-JIS
    const char* form;
};

void PrintTo(const FormCase& c, std::ostream* os) {
    test::printQuoted(c.line, os);
}

class SafeText : public ::testing::TestWithParam<FormCase> {};

TEST_P(SafeText, KeepsTheTimeTagAndTheFirstCharacter) {
    EXPECT_EQ(safeTextForm(sj(GetParam().line)), sj(GetParam().form)) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SafeText,
    ::testing::Values(FormCase{"[01:05:30]こんにちは", "[01:05:30]こ.."},
                      FormCase{"[01:05:30]abc", "[01:05:30]ab.."},
                      FormCase{"[01:05:30]aあい", "[01:05:30]a.."},
                      FormCase{"[01:05:30]あ", "[01:05:30]あ"},
                      FormCase{"[#FF0000][00:10:00]あいう", "[00:10:00]あ.."},
                      FormCase{"[00:10:00]あ[00:11:00]い", "[00:10:00]あ.."},
                      FormCase{"さくら", "さ.."}, FormCase{"ab", "ab"}, FormCase{"a", "a"},
                      FormCase{"", ""}, FormCase{"abc", "ab.."},
                      // ー ends in "[" and ソ in "\": neither is taken for "]"
                      FormCase{"ソーダ水", "ソ.."},
                      // the second byte of や (0xE2) has the value of a first byte
                      FormCase{"やゆよ", "や.."}, FormCase{"[00:10:00]aやゆ", "[00:10:00]a.."}));

TEST(PlainText, IsTheLineAsShownWithoutItsColourTag) {
    EXPECT_EQ(plainTextForm(sj("[00:10:00]あ[00:11:00]い")), sj("あい"));
    EXPECT_EQ(plainTextForm(sj("[00:10:00][#FF0000]\\h夕焼け\\w5空")), sj("夕焼け空"));
    EXPECT_EQ(plainTextForm(""), "");
}

TEST(TextExport, OutputNameFollowsTheMusicFile) {
    EXPECT_EQ(exportPath(TextExport::Plain, "/m/song.mp3"), "/m/song_plain.txt");
    EXPECT_EQ(exportPath(TextExport::Safe, "/m/song.mp3"), "/m/song_safe.txt");
    EXPECT_EQ(exportPath(TextExport::Safe, "/m.d/song"), "/m.d/song_safe.txt");
    EXPECT_EQ(exportPath(TextExport::Plain, ""), "_plain.txt");
}

TEST(TextExport, WritesEveryLineWithCrLfAndReplacesAnOldFile) {
    test::TempDir dir;
    const std::string music = dir.file("song.mp3");
    test::writeFile(dir.file("song_safe.txt"), "old contents that are longer than the new ones");
    const Lines lines = {sj("[00:10:00]こんにちは"), sj("[00:20:00]あ[00:21:00]い"), ""};

    EXPECT_EQ(writeTextExport(TextExport::Safe, lines, music), dir.file("song_safe.txt"));
    EXPECT_EQ(test::readFile(dir.file("song_safe.txt")),
              sj("[00:10:00]こ..\r\n[00:20:00]あ..\r\n\r\n"));
    EXPECT_EQ(writeTextExport(TextExport::Plain, lines, music), dir.file("song_plain.txt"));
    EXPECT_EQ(test::readFile(dir.file("song_plain.txt")), sj("こんにちは\r\nあい\r\n\r\n"));
}

TEST(TextExport, FileThatCannotBeCreatedRaisesTheFileError) {
    test::TempDir dir;
    EXPECT_THROW(writeTextExport(TextExport::Plain, {"a", ""}, dir.file("no/such/song.mp3")),
                 TextFileError);
}

TEST(TextExport, AnExportThatMayNotBeReplacedStaysWhole) {
    test::TempDir dir;
    const std::string old = dir.file("song_plain.txt");
    test::writeFile(old, "kept\r\n");
    ASSERT_EQ(::chmod(old.c_str(), 0444), 0);
    EXPECT_THROW(writeTextExport(TextExport::Plain, {"a", ""}, dir.file("song.mp3")),
                 TextFileError);
    EXPECT_EQ(test::readFile(old), "kept\r\n");
    // Nothing of the attempt is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(TextExport, SaveMessageQuotesTheFileName) {
    EXPECT_EQ(saveMessage("/m/song_plain.txt"), "\"song_plain.txt\" save completed.");
    // Status texts are UTF-8, as the file system names files: a Japanese
    // name is shown as it stands.
    EXPECT_EQ(saveMessage("/m/歌_safe.txt"), "\"歌_safe.txt\" save completed.");
}

}  // namespace
}  // namespace orba
