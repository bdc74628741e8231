// The best singing score of each song, kept in the catalogue's file.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "library/library.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

using test::SongFolder;

TEST(BestScores, OnlyABetterScoreReplacesTheBestAndTheOneBeforeIsReturned) {
    SongFolder songs;
    Library library(songs.libraryFile());
    const std::string song = songs.songs() + "/wind.mid";
    EXPECT_EQ(library.bestScore(song), std::nullopt);
    EXPECT_EQ(library.recordScore(song, 6100), std::nullopt);
    EXPECT_EQ(library.recordScore(song, 5000), 6100);
    EXPECT_EQ(library.bestScore(song), 6100);
    EXPECT_EQ(library.recordScore(song, 9300), 6100);
    EXPECT_EQ(library.bestScore(song), 9300);
    // Each song its own.
    EXPECT_EQ(library.bestScore(songs.songs() + "/rain.mid"), std::nullopt);
}

TEST(BestScores, OutliveTheLibraryAndComeToAnOlderFile) {
    SongFolder songs;
    {
        // A file as the player before scoring left it: version 4.
        Library library(songs.libraryFile());
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(songs.libraryFile().c_str(), &db), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(db, "DROP TABLE best_scores; PRAGMA user_version = 4;", nullptr, nullptr,
                           nullptr),
              SQLITE_OK);
    sqlite3_close(db);
    {
        Library library(songs.libraryFile());
        EXPECT_EQ(library.recordScore("/songs/a.kar", 7000), std::nullopt);
    }
    Library again(songs.libraryFile());
    EXPECT_EQ(again.bestScore("/songs/a.kar"), 7000);
}

}  // namespace
}  // namespace orba
