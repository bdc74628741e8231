// The party queue in the catalogue's file: kept whole across a reopen, in
// files made by this player and in ones an older player wrote, and the
// look-ups that name a queued song.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include "library/library.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

using test::SongFolder;

PartyQueueState aQueue() {
    PartyQueueState q;
    q.playing = QueueEntry{4, 7, "/songs/wind.mp3", "Ｗｉｎｄ", "みか", 2, std::nullopt, {}};
    q.waiting.push_back({5, 0, "/songs/a.mp3", "a", "Ken", std::nullopt, 90, 1});
    q.waiting.push_back({6, 8, "/songs/b.mp3", "", "みか", -12, 150, std::nullopt});
    q.singers = {{"みか", 3}, {"Ken", 0}};
    q.nextId = 7;
    q.turns = 3;
    q.paused = true;
    return q;
}

TEST(QueueInLibrary, ANewFileHasNoQueueUntilOneIsSaved) {
    SongFolder songs;
    Library library(songs.libraryFile());
    EXPECT_FALSE(library.loadQueue());
    library.saveQueue({});
    ASSERT_TRUE(library.loadQueue());
    EXPECT_EQ(*library.loadQueue(), PartyQueueState{});
}

TEST(QueueInLibrary, IsKeptWholeAcrossAReopen) {
    SongFolder songs;
    { Library(songs.libraryFile()).saveQueue(aQueue()); }
    Library again(songs.libraryFile());
    EXPECT_EQ(again.loadQueue(), aQueue());
}

TEST(QueueInLibrary, ASaveReplacesWhatWasThere) {
    SongFolder songs;
    Library library(songs.libraryFile());
    library.saveQueue(aQueue());
    PartyQueueState shorter = aQueue();
    shorter.waiting.erase(shorter.waiting.begin());
    shorter.playing.reset();
    shorter.paused = false;
    library.saveQueue(shorter);
    EXPECT_EQ(library.loadQueue(), shorter);
}

void runSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

TEST(QueueInLibrary, AFileOfThePreviousVersionGainsTheQueueAndKeepsItsSongs) {
    SongFolder songs;
    const std::string song = songs.addSong("wind.mp3");
    {
        Library library(songs.libraryFile(), songs.describer());
        library.addFolder(songs.songs());
        library.rescan();
    }
    // Back to the file the player before the queue left.
    runSql(songs.libraryFile(),
           "DROP TABLE queue_entries; DROP TABLE queue_singers; DROP TABLE queue_state;"
           "PRAGMA user_version = 2;");

    Library library(songs.libraryFile(), songs.describer());
    EXPECT_FALSE(library.loadQueue());
    const std::optional<SearchHit> hit = library.songAt(song);
    ASSERT_TRUE(hit);
    EXPECT_EQ(hit->title, "wind");
    library.saveQueue(aQueue());
    EXPECT_EQ(library.loadQueue(), aQueue());
}

TEST(QueueInLibrary, SongsAreFoundByIdAndByPathWhilePresent) {
    SongFolder songs;
    const std::string song = songs.addSong("wind.mp3");
    Library library(songs.libraryFile(), songs.describer());
    library.addFolder(songs.songs());
    library.rescan();
    const std::optional<SearchHit> byPath = library.songAt(song);
    ASSERT_TRUE(byPath);
    const std::optional<SearchHit> byId = library.song(byPath->id);
    ASSERT_TRUE(byId);
    EXPECT_EQ(byId->path, song);
    EXPECT_FALSE(library.song(byPath->id + 1));
    EXPECT_FALSE(library.songAt(songs.song("other.mp3")));
    runSql(songs.libraryFile(), "UPDATE songs SET missing = 1");
    EXPECT_FALSE(library.song(byPath->id));
}

}  // namespace
}  // namespace orba
