// Which entries of a song zip play, and how much of it is ever read.
#include "platform/zipsong.h"

#include <gtest/gtest.h>

#include "tests/support/tempdir.h"
#include "tests/support/withoutmodules.h"
#include "tests/support/zipwriter.h"

namespace orba {
namespace {

TEST(ZipSong, TheOneMusicFilePlaysWithTheGraphicsOfItsName) {
    EXPECT_EQ(chooseZipSongEntries({{"Song/Track.MP3", 900},
                                    {"Song/cover.jpg", 10},
                                    {"Song/other.cdg", 5},
                                    {"Song/Track.cdg", 50},
                                    {"Song/", 0}}),
              (ZipSongEntries{"Song/Track.MP3", "Song/Track.cdg", ""}));
    // Graphics under another name: the only ones there are.
    EXPECT_EQ(chooseZipSongEntries({{"a.ogg", 1}, {"b.CDG", 1}}),
              (ZipSongEntries{"a.ogg", "b.CDG", ""}));
    // No graphics: it plays as music.
    EXPECT_EQ(chooseZipSongEntries({{"a.wav", 1}}), (ZipSongEntries{"a.wav", "", ""}));
}

TEST(ZipSong, AZipThatIsNoOneSongIsRefusedWithItsReason) {
    auto problem = [](const std::vector<ZipEntryInfo>& e) {
        return chooseZipSongEntries(e).problem;
    };
    EXPECT_EQ(problem({{"a.cdg", 1}, {"notes.txt", 1}}), "no music file in the zip");
    EXPECT_EQ(problem({}), "no music file in the zip");
    EXPECT_EQ(problem({{"a.mp3", 1}, {"b.mp3", 1}, {"a.cdg", 1}}),
              "more than one music file in the zip");
    EXPECT_EQ(problem({{"a.mp3", 1}, {"inner.zip", 1}}), "");  // a zip inside is no music
    for (const char* climbing :
         {"../a.mp3", "x/../../a.cdg", "/etc/a.mp3", "x\\..\\a.mp3", "C:/a.mp3"})
        EXPECT_NE(problem({{"a.mp3", 1}, {climbing, 1}}).find("outside itself"), std::string::npos)
            << climbing;
    EXPECT_EQ(problem({{"a..b.mp3", 1}, {"x/..y/a.cdg", 1}}), "");  // dots, but no climb
    EXPECT_EQ(problem({{"a.mp3", kZipSongMaxBytes / 2}, {"a.cdg", kZipSongMaxBytes / 2 + 1}}),
              "the zip unpacks to more than 64 MiB");
}

TEST(ZipSong, ReadingAnEntryStopsAtTheBoundWhateverTheZipSays) {
    test::TempDir dir;
    const std::string zip = dir.file("song.zip");
    // Deflated, a few kilobytes that unpack to two megabytes.
    ASSERT_TRUE(test::writeZip(zip, {{"song.mp3", std::string(2 << 20, '\0')}, {"song.cdg", "x"}}));
    EXPECT_EQ(lookInZip(zip), (ZipSongEntries{"song.mp3", "song.cdg", ""}));
    std::string why;
    EXPECT_EQ(readZipEntry(zip, "song.mp3", 1 << 20, &why), std::nullopt);
    EXPECT_NE(why.find("more than"), std::string::npos) << why;
    EXPECT_EQ(readZipEntry(zip, "song.mp3", 2 << 20)->size(), std::size_t{2 << 20});
    EXPECT_EQ(readZipEntry(zip, "song.cdg", 10), "x");
    EXPECT_EQ(readZipEntry(zip, "absent.cdg", 10, &why), std::nullopt);

    test::writeFile(dir.file("broken.zip"), "PK\x03\x04 not really");
    EXPECT_NE(lookInZip(dir.file("broken.zip")).problem.find("not a readable zip"),
              std::string::npos);
    EXPECT_NE(lookInZip(dir.file("absent.zip")).problem, "");
}

TEST(ZipSong, WithoutItsModuleAZipIsRefusedWithTheReasonAndNothingIsRead) {
    test::TempDir dir;
    const std::string zip = dir.file("song.zip");
    ASSERT_TRUE(test::writeZip(zip, {{"song.mp3", "music"}}));
    test::WithoutModules none;
    const ZipSongEntries entries = lookInZip(zip);
    EXPECT_EQ(entries.music, "");
    EXPECT_EQ(entries.problem.rfind("zip songs cannot be read: orba_zip_libzip.so", 0), 0u)
        << entries.problem;
    std::string why;
    EXPECT_EQ(readZipEntry(zip, "song.mp3", 100, &why), std::nullopt);
    EXPECT_EQ(why, entries.problem);
}

}  // namespace
}  // namespace orba
