#include "library/schema.h"

#include <sqlite3.h>

#include <iterator>
#include <stdexcept>
#include <string>

#include "library/searchform.h"
#include "library/sqlite.h"

namespace orba::schema {

namespace {

// Songs are kept by path. size, mtime and companions (a hash of the files
// beside the song that share its name: lyric files, the per-song file) say
// whether the song must be read again. A song under a folder that could not
// be reached is kept, marked missing, rather than dropped. song_index holds
// the search forms of title, artist and lyrics (rowid = songs.id), for
// words found anywhere; name_index those of title and artist again: a word
// that stands in thousands of songs' lyrics would otherwise be looked at in
// each of them to find the few titles that hold it. song_lyrics keeps the
// lyrics as read, to show the line a search found.
constexpr const char* kVersion1 = R"(
CREATE TABLE folders(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE
);
CREATE TABLE songs(
  id INTEGER PRIMARY KEY,
  path TEXT NOT NULL UNIQUE,
  type TEXT NOT NULL DEFAULT '',
  length_ms INTEGER NOT NULL DEFAULT 0,
  title TEXT NOT NULL DEFAULT '',
  artist TEXT NOT NULL DEFAULT '',
  lyric_source TEXT NOT NULL DEFAULT '',
  lyric_dialect TEXT NOT NULL DEFAULT '',
  lyric_encoding TEXT NOT NULL DEFAULT '',
  has_pictures INTEGER NOT NULL DEFAULT 0,
  has_song_file INTEGER NOT NULL DEFAULT 0,
  size INTEGER NOT NULL,
  mtime INTEGER NOT NULL,
  companions INTEGER NOT NULL DEFAULT 0,
  missing INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE song_lyrics(
  song_id INTEGER PRIMARY KEY,
  text TEXT NOT NULL
);
CREATE TABLE skipped(
  path TEXT PRIMARY KEY,
  reason TEXT NOT NULL,
  detail TEXT NOT NULL DEFAULT '',
  size INTEGER NOT NULL DEFAULT -1,
  mtime INTEGER NOT NULL DEFAULT -1
) WITHOUT ROWID;
CREATE VIRTUAL TABLE song_index USING fts5(
  title, artist, lyrics, tokenize = 'trigram case_sensitive 1'
);
CREATE VIRTUAL TABLE name_index USING fts5(
  title, artist, tokenize = 'trigram case_sensitive 1'
);
CREATE TRIGGER song_removed AFTER DELETE ON songs BEGIN
  DELETE FROM song_lyrics WHERE song_id = old.id;
  DELETE FROM song_index WHERE rowid = old.id;
  DELETE FROM name_index WHERE rowid = old.id;
END;
)";

// Trigrams need three characters: the search forms of title and artist,
// indexed, let one or two typed characters still find songs.
constexpr const char* kVersion2 = R"(
ALTER TABLE songs ADD COLUMN title_key TEXT NOT NULL DEFAULT '';
ALTER TABLE songs ADD COLUMN artist_key TEXT NOT NULL DEFAULT '';
UPDATE songs SET title_key = search_form(title), artist_key = search_form(artist);
CREATE INDEX songs_by_key ON songs(title_key, artist_key, missing);
)";

// The party queue, so that it outlives the player. Entries keep the path and
// title they were queued with (a rescan may drop or renumber the song while
// it waits); place orders the waiting entries as queued, -1 marks the one
// playing; a NULL key, tempo or pin is none. The singers' places are the
// order they first queued. queue_state has one row once the queue was saved.
constexpr const char* kVersion3 = R"(
CREATE TABLE queue_entries(
  id INTEGER PRIMARY KEY,
  place INTEGER NOT NULL,
  song_id INTEGER NOT NULL DEFAULT 0,
  path TEXT NOT NULL,
  title TEXT NOT NULL DEFAULT '',
  singer TEXT NOT NULL,
  key_shift INTEGER,
  tempo INTEGER,
  pinned INTEGER
);
CREATE TABLE queue_singers(
  place INTEGER PRIMARY KEY,
  name TEXT NOT NULL,
  last_sung INTEGER NOT NULL DEFAULT 0
);
CREATE TABLE queue_state(
  id INTEGER PRIMARY KEY CHECK (id = 1),
  next_id INTEGER NOT NULL,
  turns INTEGER NOT NULL,
  paused INTEGER NOT NULL
);
)";

// The lyrics are searched without the spaces inside their lines: the index
// is made again from the lyrics as read.
constexpr const char* kVersion4 = R"(
UPDATE song_index SET lyrics = coalesce(
  (SELECT lyrics_search_form(text) FROM song_lyrics WHERE song_id = song_index.rowid), '');
)";

// The best singing score of each song, by its path: a song's score outlives
// a rescan that renumbers it, and a song sung outside the library has one too.
constexpr const char* kVersion5 = R"(
CREATE TABLE IF NOT EXISTS best_scores(
  path TEXT PRIMARY KEY,
  score INTEGER NOT NULL,
  sung_at INTEGER NOT NULL
);
)";

constexpr const char* kSteps[] = {kVersion1, kVersion2, kVersion3, kVersion4, kVersion5};
static_assert(std::size(kSteps) == kCurrentVersion);

template <std::string (*Form)(std::string_view)>
void formFunction(sqlite3_context* context, int, sqlite3_value** values) {
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(values[0]));
    if (!text) {
        sqlite3_result_null(context);
        return;
    }
    const std::string folded =
        Form(std::string_view(text, static_cast<std::size_t>(sqlite3_value_bytes(values[0]))));
    sqlite3_result_text64(context, folded.data(), folded.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}

}  // namespace

void addFunctions(sql::Database& db) {
    const auto add = [&](const char* name, auto function) {
        const int rc = sqlite3_create_function_v2(
            db.handle(), name, 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS, nullptr,
            function, nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) throw sql::Error(rc, sqlite3_errmsg(db.handle()));
    };
    add("search_form", formFunction<searchForm>);
    add("lyrics_search_form", formFunction<lyricsSearchForm>);
}

void bringUpToDate(sql::Database& db) {
    // Read before locking: the common case, a file already up to date,
    // takes no write lock that another player would wait for.
    if (db.integer("PRAGMA user_version") == kCurrentVersion) return;
    sql::Transaction t(db);
    const auto version = db.integer("PRAGMA user_version");
    if (version > kCurrentVersion)
        throw std::runtime_error("the song library was written by a newer player (version " +
                                 std::to_string(version) + ")");
    if (version == 0 && db.integer("SELECT count(*) FROM sqlite_master") > 0)
        throw sql::Error(SQLITE_NOTADB, "the file holds no song library");
    for (auto v = version; v < kCurrentVersion; ++v) {
        db.exec(kSteps[v]);
        db.exec("PRAGMA user_version = " + std::to_string(v + 1));
    }
    t.commit();
}

}  // namespace orba::schema
