// The catalogue's file: made, migrated from older players' files, moved
// aside when damaged, followed when another player builds it anew.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>

#include "library/library.h"
#include "platform/fileinfo.h"
#include "tests/library/songfolder.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::SongFolder;
using test::titlesOf;

// Runs SQL on a file as another program would.
void runSql(const std::string& file, const std::string& sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
    char* error = nullptr;
    const int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error);
    EXPECT_EQ(rc, SQLITE_OK) << (error ? error : "");
    sqlite3_free(error);
    sqlite3_close(db);
}

long long sqlNumber(const std::string& file, const std::string& query) {
    sqlite3* db = nullptr;
    sqlite3_open(file.c_str(), &db);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, query.c_str(), -1, &s, nullptr);
    const long long n = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    sqlite3_finalize(s);
    sqlite3_close(db);
    return n;
}

std::vector<std::string> keptFiles(const SongFolder& songs) {
    std::vector<std::string> kept;
    for (const auto& e : fs::directory_iterator(fs::path(songs.libraryFile()).parent_path()))
        if (e.path().filename().string().rfind("library.db.damaged-", 0) == 0 &&
            e.path().extension() != ".db-wal")
            kept.push_back(e.path().string());
    return kept;
}

// The tables as the first player that kept a library wrote them: files in
// users' hands look like this whatever the program makes today.
constexpr const char* kFirstVersion = R"(
CREATE TABLE folders(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE);
CREATE TABLE songs(id INTEGER PRIMARY KEY, path TEXT NOT NULL UNIQUE,
  type TEXT NOT NULL DEFAULT '', length_ms INTEGER NOT NULL DEFAULT 0,
  title TEXT NOT NULL DEFAULT '', artist TEXT NOT NULL DEFAULT '',
  lyric_source TEXT NOT NULL DEFAULT '', lyric_dialect TEXT NOT NULL DEFAULT '',
  lyric_encoding TEXT NOT NULL DEFAULT '', has_pictures INTEGER NOT NULL DEFAULT 0,
  has_song_file INTEGER NOT NULL DEFAULT 0, size INTEGER NOT NULL, mtime INTEGER NOT NULL,
  companions INTEGER NOT NULL DEFAULT 0, missing INTEGER NOT NULL DEFAULT 0);
CREATE TABLE song_lyrics(song_id INTEGER PRIMARY KEY, text TEXT NOT NULL);
CREATE TABLE skipped(path TEXT PRIMARY KEY, reason TEXT NOT NULL, detail TEXT NOT NULL DEFAULT '',
  size INTEGER NOT NULL DEFAULT -1, mtime INTEGER NOT NULL DEFAULT -1) WITHOUT ROWID;
CREATE VIRTUAL TABLE song_index USING fts5(title, artist, lyrics,
  tokenize = 'trigram case_sensitive 1');
CREATE VIRTUAL TABLE name_index USING fts5(title, artist, tokenize = 'trigram case_sensitive 1');
CREATE TRIGGER song_removed AFTER DELETE ON songs BEGIN
  DELETE FROM song_lyrics WHERE song_id = old.id;
  DELETE FROM song_index WHERE rowid = old.id;
  DELETE FROM name_index WHERE rowid = old.id;
END;
PRAGMA user_version = 1;
)";

TEST(LibraryFile, FromTheFirstVersionKeepsItsSongsAndFindsThemByOneCharacter) {
    SongFolder songs;
    const std::string song = songs.addSong("wind.mp3");
    const FileInfo info = *fileInfo(song);
    runSql(songs.libraryFile(),
           std::string(kFirstVersion) + "INSERT INTO folders(path) VALUES('" + songs.songs() +
               "');INSERT INTO songs(id, path, type, title, artist, size, mtime) VALUES(7, '" +
               song + "', 'audio', 'Ｗｉｎｄ', 'ソヨカゼ', " + std::to_string(info.size) + ", " +
               std::to_string(info.mtimeNs) +
               ");INSERT INTO song_lyrics VALUES(7, 'Ｂｌｏｗ ｉｎｇ');"
               "INSERT INTO song_index(rowid, title, artist, lyrics) "
               "VALUES(7, 'wind', 'そよかぜ', 'blow ing');"
               "INSERT INTO name_index(rowid, title, artist) VALUES(7, 'wind', 'そよかぜ');");

    Library library(songs.libraryFile(), songs.describer());
    EXPECT_EQ(sqlNumber(songs.libraryFile(), "PRAGMA user_version"), 5);
    EXPECT_TRUE(library.notice().empty());
    EXPECT_EQ(titlesOf(library.search("w")), std::vector<std::string>{"Ｗｉｎｄ"});
    EXPECT_EQ(titlesOf(library.search("ｿﾖ")), std::vector<std::string>{"Ｗｉｎｄ"});
    // The lyrics are indexed again without the spaces inside their lines.
    EXPECT_EQ(library.search("blowing")[0].line, "Ｂｌｏｗ ｉｎｇ");
    // Its songs are as good as ones this player wrote: nothing is read again.
    EXPECT_TRUE(library.rescan().complete);
    EXPECT_EQ(songs.calls, 0);
    EXPECT_EQ(library.stats().songs, 1);
}

TEST(LibraryFile, IsMadeInWriteAheadModeAtTheCurrentVersion) {
    SongFolder songs;
    { Library library(songs.libraryFile()); }
    EXPECT_EQ(sqlNumber(songs.libraryFile(), "PRAGMA user_version"), 5);
    EXPECT_EQ(sqlNumber(songs.libraryFile(),
                        "SELECT count(*) FROM pragma_journal_mode "
                        "WHERE journal_mode = 'wal'"),
              1);
}

TEST(LibraryFile, WrittenByANewerPlayerIsLeftAlone) {
    SongFolder songs;
    runSql(songs.libraryFile(), "CREATE TABLE future(x); PRAGMA user_version = 99;");
    EXPECT_THROW(Library(songs.libraryFile()), LibraryError);
    EXPECT_EQ(sqlNumber(songs.libraryFile(), "PRAGMA user_version"), 99);
    EXPECT_TRUE(keptFiles(songs).empty());
}

TEST(LibraryFile, ThatIsNoDatabaseIsKeptAsideAndANewOneBuilt) {
    SongFolder songs;
    const std::string garbage(5000, 'x');
    test::writeFile(songs.libraryFile(), garbage);
    Library library(songs.libraryFile(), songs.describer());
    const std::vector<std::string> kept = keptFiles(songs);
    ASSERT_EQ(kept.size(), 1u);
    EXPECT_EQ(test::readFile(kept[0]), garbage);
    EXPECT_NE(library.notice().find(kept[0]), std::string::npos) << library.notice();

    songs.addSong("song.mp3");
    library.addFolder(songs.songs());
    library.rescan();
    EXPECT_EQ(titlesOf(library.search("song")), std::vector<std::string>{"song"});
}

TEST(LibraryFile, ThatHoldsSomethingElseIsKeptAsideToo) {
    SongFolder songs;
    runSql(songs.libraryFile(), "CREATE TABLE notes(text); INSERT INTO notes VALUES('mine');");
    Library library(songs.libraryFile());
    ASSERT_EQ(keptFiles(songs).size(), 1u);
    EXPECT_EQ(sqlNumber(keptFiles(songs)[0], "SELECT count(*) FROM notes"), 1);
    EXPECT_FALSE(library.notice().empty());
}

TEST(LibraryFile, CutShortIsKeptAsideAndItsFoldersScannedAgain) {
    SongFolder songs;
    for (int i = 0; i < 200; ++i)
        songs.addSong("s" + std::to_string(i) + ".mp3", std::string(500, char('a' + i % 26)));
    {
        Library library(songs.libraryFile(), songs.describer());
        library.addFolder(songs.songs());
        library.rescan();
    }
    ASSERT_FALSE(fs::exists(songs.libraryFile() + "-wal"));  // the last one out folds it in
    fs::resize_file(songs.libraryFile(), 3 * 4096);
    Library library(songs.libraryFile(), songs.describer());
    EXPECT_EQ(keptFiles(songs).size(), 1u);
    EXPECT_FALSE(library.notice().empty());
    library.addFolder(songs.songs());
    songs.calls = 0;
    library.rescan();
    EXPECT_EQ(songs.calls, 200);
    EXPECT_EQ(library.stats().songs, 200);
}

TEST(LibraryFile, ThatAnotherPlayerBuiltAnewIsFollowed) {
    SongFolder songs;
    songs.addSong("old.mp3");
    Library first(songs.libraryFile());
    first.addFolder(songs.songs());
    first.rescan();
    fs::rename(songs.libraryFile(), songs.libraryFile() + ".elsewhere");
    fs::remove(songs.libraryFile() + "-wal");
    fs::remove(songs.libraryFile() + "-shm");
    fs::create_directory(songs.song("other"));
    {
        Library second(songs.libraryFile());
        second.addFolder(songs.song("other"));
    }
    EXPECT_TRUE(first.search("old").empty());
    EXPECT_EQ(first.stats().folders, std::vector<std::string>{songs.song("other")});
    EXPECT_TRUE(fs::exists(songs.libraryFile()));
}

TEST(LibraryFile, SharedByTwoLibrariesShowsEachTheOthersSongs) {
    SongFolder songs;
    songs.addSong("shared.mp3");
    Library reader(songs.libraryFile());
    Library writer(songs.libraryFile());
    writer.addFolder(songs.songs());
    writer.rescan();
    EXPECT_EQ(titlesOf(reader.search("shared")), std::vector<std::string>{"shared"});
}

struct PlaceCase {
    const char* xdgDataHome;  // nullptr: not set
    const char* chosen;       // ORBAKARAOKE_LIBRARY, nullptr: not set
    const char* file;
};

void PrintTo(const PlaceCase& c, std::ostream* os) {
    *os << c.file;
}

class LibraryPlace : public ::testing::TestWithParam<PlaceCase> {
protected:
    void SetUp() override {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "ORBAKARAOKE_LIBRARY"})
            if (const char* v = std::getenv(name)) m_saved.emplace_back(name, v);
    }
    void TearDown() override {
        for (const char* name : {"HOME", "XDG_DATA_HOME", "ORBAKARAOKE_LIBRARY"}) ::unsetenv(name);
        for (const auto& [name, value] : m_saved) ::setenv(name.c_str(), value.c_str(), 1);
    }

private:
    std::vector<std::pair<std::string, std::string>> m_saved;
};

TEST_P(LibraryPlace, FollowsTheDataHomeUnlessAFileIsChosen) {
    const PlaceCase& c = GetParam();
    ::setenv("HOME", "/home/singer", 1);
    ::unsetenv("XDG_DATA_HOME");
    ::unsetenv("ORBAKARAOKE_LIBRARY");
    if (c.xdgDataHome) ::setenv("XDG_DATA_HOME", c.xdgDataHome, 1);
    if (c.chosen) ::setenv("ORBAKARAOKE_LIBRARY", c.chosen, 1);
    EXPECT_EQ(libraryFileFromEnvironment(), c.file);
}

INSTANTIATE_TEST_SUITE_P(
    Places, LibraryPlace,
    ::testing::Values(
        PlaceCase{nullptr, nullptr, "/home/singer/.local/share/orbakaraoke/library.db"},
        PlaceCase{"/data", nullptr, "/data/orbakaraoke/library.db"},
        PlaceCase{"relative", nullptr, "/home/singer/.local/share/orbakaraoke/library.db"},
        PlaceCase{"/data", "/tmp/test.db", "/tmp/test.db"}));

}  // namespace
}  // namespace orba
