// The scan: the walk's files against what the catalogue holds.
//
// A pass loads the songs and skipped files it may meet (one folder's, or a
// tree's), walks, and writes as it goes in transactions of a thousand songs
// or half a second, whichever comes first: a scan cut off (by the user, a
// crash, a full disk) leaves the songs written so far consistent with their
// index, and the next scan, finding them unchanged, goes on from there.
// Only a scan that walked to the end drops the songs it did not meet.
#include <chrono>
#include <optional>
#include <unordered_map>

#include "library/folderpaths.h"
#include "library/folderwalk.h"
#include "library/library.h"
#include "library/searchform.h"
#include "library/sqlite.h"

namespace orba {

namespace {

constexpr std::size_t kBatchWrites = 1000;
constexpr auto kBatchTime = std::chrono::milliseconds(500);
constexpr std::size_t kProgressEvery = 250;

struct KnownSong {
    std::int64_t id = 0;
    std::int64_t size = 0;
    std::int64_t mtime = 0;
    std::int64_t companions = 0;
    bool missing = false;
    bool seen = false;
};

struct KnownSkip {
    std::string reason;
    std::int64_t size = -1;
    std::int64_t mtime = -1;
    bool seen = false;
};

// The pass's writes, prepared once: a cold scan makes hundreds of
// thousands of them.
struct Writes {
    explicit Writes(sql::Database& db)
        : upsert(db.prepare(
              "INSERT INTO songs(path, type, length_ms, title, artist, title_key, artist_key, "
              "lyric_source, lyric_dialect, lyric_encoding, has_pictures, has_song_file, size, "
              "mtime, companions, missing) VALUES(?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, "
              "?12, ?13, ?14, ?15, 0) ON CONFLICT(path) DO UPDATE SET type = ?2, length_ms = ?3, "
              "title = ?4, artist = ?5, title_key = ?6, artist_key = ?7, lyric_source = ?8, "
              "lyric_dialect = ?9, lyric_encoding = ?10, has_pictures = ?11, has_song_file = ?12, "
              "size = ?13, mtime = ?14, companions = ?15, missing = 0 RETURNING id")),
          putLyrics(db.prepare("INSERT OR REPLACE INTO song_lyrics(song_id, text) VALUES(?, ?)")),
          dropLyrics(db.prepare("DELETE FROM song_lyrics WHERE song_id = ?")),
          unindex(db.prepare("DELETE FROM song_index WHERE rowid = ?")),
          index(db.prepare(
              "INSERT INTO song_index(rowid, title, artist, lyrics) VALUES(?, ?, ?, ?)")),
          unname(db.prepare("DELETE FROM name_index WHERE rowid = ?")),
          name(db.prepare("INSERT INTO name_index(rowid, title, artist) VALUES(?, ?, ?)")),
          found(db.prepare("UPDATE songs SET missing = 0 WHERE id = ?")),
          lost(db.prepare("UPDATE songs SET missing = 1 WHERE id = ?")),
          drop(db.prepare("DELETE FROM songs WHERE id = ?")),
          skip(db.prepare("INSERT OR REPLACE INTO skipped(path, reason, detail, size, mtime) "
                          "VALUES(?, ?, ?, ?, ?)")),
          unskip(db.prepare("DELETE FROM skipped WHERE path = ?")) {}

    sql::Statement upsert, putLyrics, dropLyrics, unindex, index, unname, name, found, lost, drop,
        skip, unskip;
};

bool inFolderOnly(const std::string& path, std::size_t prefixLength) {
    return path.find('/', prefixLength) == std::string::npos;
}

class ScanPass : public WalkVisitor {
public:
    ScanPass(sql::Database& db, const DescribeSong& describe, const ScanControl& control,
             ScanReport& report)
        : m_db(db), m_describe(describe), m_control(control), m_report(report), m_writes(db) {}

    void load(const std::string& folder, ScanDepth depth);
    void finish(WalkEnd end, bool libraryFolder);

    void folderEntered(const std::string& folder) override {
        if (m_control.folderEntered) m_control.folderEntered(folder);
    }
    bool musicFile(const std::string& path, const FileInfo& info,
                   std::uint64_t companions) override;
    bool songFile(const std::string& path, const FileInfo& info,
                  std::uint64_t companions) override;
    void leftOut(const std::string& path, SkipReason reason, const std::string& detail) override {
        leave(path, reason, detail, nullptr);
    }
    void repeatedFolder(const std::string&) override { ++m_report.repeatedFolders; }

private:
    void leave(const std::string& path, SkipReason reason, const std::string& detail,
               const FileInfo* info);
    void store(const std::string& path, const FileInfo& info, std::int64_t companions,
               const SongFacts& facts, bool known);
    void begin();
    void wrote();
    void writeIndex();
    void commit();
    bool goOn();
    bool underUnreadableFolder(const std::string& path) const;

    sql::Database& m_db;
    const DescribeSong& m_describe;
    const ScanControl& m_control;
    ScanReport& m_report;
    std::unordered_map<std::string, KnownSong> m_songs;
    std::unordered_map<std::string, KnownSkip> m_skips;
    std::vector<std::string> m_unreadableFolders;
    Writes m_writes;
    struct IndexRow {
        std::int64_t id;
        std::string title, artist, lyrics;  // search forms
    };
    std::vector<IndexRow> m_toIndex;
    std::optional<sql::Transaction> m_transaction;
    std::size_t m_written = 0;
    std::chrono::steady_clock::time_point m_begun;
};

void ScanPass::load(const std::string& folder, ScanDepth depth) {
    const auto [low, high] = pathsUnder(folder);
    sql::Statement songs = m_db.prepare(
        "SELECT path, id, size, mtime, companions, missing FROM songs WHERE path >= ? AND path < "
        "?");
    songs.bind(1, low).bind(2, high);
    while (songs.step()) {
        std::string path = songs.text(0);
        if (depth == ScanDepth::FolderOnly && !inFolderOnly(path, low.size())) continue;
        m_songs.emplace(std::move(path),
                        KnownSong{songs.integer(1), songs.integer(2), songs.integer(3),
                                  songs.integer(4), songs.integer(5) != 0});
    }
    sql::Statement skips =
        m_db.prepare("SELECT path, reason, size, mtime FROM skipped WHERE path >= ? AND path < ?");
    skips.bind(1, low).bind(2, high);
    while (skips.step()) {
        std::string path = skips.text(0);
        if (depth == ScanDepth::FolderOnly && !inFolderOnly(path, low.size())) continue;
        m_skips.emplace(std::move(path),
                        KnownSkip{skips.text(1), skips.integer(2), skips.integer(3)});
    }
}

bool ScanPass::musicFile(const std::string& path, const FileInfo& info, std::uint64_t hash) {
    ++m_report.filesSeen;
    const auto companions = static_cast<std::int64_t>(hash);
    const auto song = m_songs.find(path);
    if (song != m_songs.end()) {
        KnownSong& k = song->second;
        k.seen = true;
        if (k.size == info.size && k.mtime == info.mtimeNs && k.companions == companions) {
            if (k.missing) {
                begin();
                m_writes.found.bind(1, k.id).run();
                wrote();
            }
            return goOn();
        }
    }
    // A file that was no song stays left out until it changes.
    if (const auto skip = m_skips.find(path); skip != m_skips.end()) {
        KnownSkip& s = skip->second;
        s.seen = true;
        if (s.reason == skipReasonName(SkipReason::Unreadable) && s.size == info.size &&
            s.mtime == info.mtimeNs) {
            ++m_report.skipped;
            return goOn();
        }
    }
    std::string error;
    if (!fileReadable(path, &error)) {
        leave(path, SkipReason::NoAccess, error, &info);
        return goOn();
    }
    ++m_report.filesRead;
    std::optional<SongFacts> facts;
    try {
        facts = m_describe(path);
    } catch (const std::exception& e) {
        error = e.what();
    }
    if (!facts) {
        leave(path, SkipReason::Unreadable, error, &info);
        return goOn();
    }
    store(path, info, companions, *facts, song != m_songs.end());
    return goOn();
}

void ScanPass::store(const std::string& path, const FileInfo& info, std::int64_t companions,
                     const SongFacts& f, bool known) {
    begin();
    sql::Statement& upsert = m_writes.upsert;
    const std::string titleKey = searchForm(f.title);
    const std::string artistKey = searchForm(f.artist);
    upsert.bind(1, path).bind(2, f.type).bind(3, f.lengthMs).bind(4, f.title).bind(5, f.artist);
    upsert.bind(6, titleKey).bind(7, artistKey).bind(8, f.lyricSource).bind(9, f.lyricDialect);
    upsert.bind(10, f.lyricEncoding).bind(11, f.hasPictures).bind(12, f.hasPerSongFile);
    upsert.bind(13, info.size).bind(14, info.mtimeNs).bind(15, companions);
    upsert.step();
    const std::int64_t id = upsert.integer(0);
    upsert.run();

    if (f.lyrics.empty())
        m_writes.dropLyrics.bind(1, id).run();
    else
        m_writes.putLyrics.bind(1, id).bind(2, f.lyrics).run();
    m_toIndex.push_back({id, titleKey, artistKey, lyricsSearchForm(f.lyrics)});
    if (m_skips.count(path)) m_writes.unskip.bind(1, path).run();
    ++(known ? m_report.updated : m_report.added);
    wrote();
}

// Most text files are lyrics of a song with another name, or nothing of
// ours: one that does not read as a song is passed over in silence, and
// read again at the next scan (they are small).
bool ScanPass::songFile(const std::string& path, const FileInfo& info, std::uint64_t hash) {
    const auto companions = static_cast<std::int64_t>(hash);
    const auto song = m_songs.find(path);
    if (song != m_songs.end() && song->second.size == info.size &&
        song->second.mtime == info.mtimeNs && song->second.companions == companions)
        return musicFile(path, info, hash);
    std::optional<SongFacts> facts;
    try {
        facts = m_describe(path);
    } catch (const std::exception&) {
    }
    if (!facts) return goOn();  // a song that stopped being one is dropped at the end
    ++m_report.filesSeen;
    ++m_report.filesRead;
    if (song != m_songs.end()) song->second.seen = true;
    store(path, info, companions, *facts, song != m_songs.end());
    return goOn();
}

void ScanPass::leave(const std::string& path, SkipReason reason, const std::string& detail,
                     const FileInfo* info) {
    ++m_report.skipped;
    if (reason == SkipReason::FolderUnreadable) m_unreadableFolders.push_back(path);
    if (const auto skip = m_skips.find(path); skip != m_skips.end()) skip->second.seen = true;
    begin();
    m_writes.skip.bind(1, path)
        .bind(2, skipReasonName(reason))
        .bind(3, detail)
        .bind(4, info ? info->size : -1)
        .bind(5, info ? info->mtimeNs : -1)
        .run();
    wrote();
}

bool ScanPass::underUnreadableFolder(const std::string& path) const {
    for (const std::string& f : m_unreadableFolders)
        if (isUnder(path, f)) return true;
    return false;
}

void ScanPass::finish(WalkEnd end, bool libraryFolder) {
    if (end == WalkEnd::Stopped) {
        commit();
        return;
    }
    // A library folder that cannot be reached is a drive unplugged or a
    // share not mounted: its songs wait for it. Songs under a folder that
    // could not be listed wait too. Anything else not met is gone.
    const bool keepAll = end == WalkEnd::FolderUnreachable && libraryFolder;
    for (const auto& [path, song] : m_songs) {
        if (song.seen) continue;
        begin();
        if (keepAll || underUnreadableFolder(path)) {
            if (!song.missing) {
                m_writes.lost.bind(1, song.id).run();
                ++m_report.missing;
            }
        } else {
            m_writes.drop.bind(1, song.id).run();
            ++m_report.removed;
        }
        wrote();
    }
    for (const auto& [path, skip] : m_skips) {
        if (skip.seen || keepAll || underUnreadableFolder(path)) continue;
        begin();
        m_writes.unskip.bind(1, path).run();
        wrote();
    }
    commit();
    m_report.complete = true;
}

void ScanPass::begin() {
    if (m_transaction) return;
    m_transaction.emplace(m_db);
    m_begun = std::chrono::steady_clock::now();
}

void ScanPass::wrote() {
    if (++m_written >= kBatchWrites || std::chrono::steady_clock::now() - m_begun >= kBatchTime)
        commit();
}

// The index rows of a transaction go in last, together. The full-text
// index keeps new rows in memory until the transaction ends, but writes
// them out as a segment of their own whenever a statement opens a
// savepoint (an upsert, a trigger): written song by song between the songs'
// other rows, every song would make a segment, and merging them would cost
// more than all the rest of the scan.
void ScanPass::writeIndex() {
    // A song new to this pass may have been written by another player
    // meanwhile: its old index rows go before the new ones come.
    for (const IndexRow& row : m_toIndex) {
        m_writes.unindex.bind(1, row.id).run();
        m_writes.unname.bind(1, row.id).run();
    }
    for (const IndexRow& row : m_toIndex) {
        m_writes.index.bind(1, row.id)
            .bind(2, row.title)
            .bind(3, row.artist)
            .bind(4, row.lyrics)
            .run();
        m_writes.name.bind(1, row.id).bind(2, row.title).bind(3, row.artist).run();
    }
    m_toIndex.clear();
}

void ScanPass::commit() {
    writeIndex();
    if (m_transaction) m_transaction->commit();
    m_transaction.reset();
    m_written = 0;
}

bool ScanPass::goOn() {
    if (m_control.progress && m_report.filesSeen % kProgressEvery == 0)
        m_control.progress(m_report);
    return !m_control.cancelled();
}

void addCounts(ScanReport& total, const ScanReport& r) {
    total.filesSeen += r.filesSeen;
    total.filesRead += r.filesRead;
    total.added += r.added;
    total.updated += r.updated;
    total.removed += r.removed;
    total.skipped += r.skipped;
    total.missing += r.missing;
    total.repeatedFolders += r.repeatedFolders;
}

}  // namespace

ScanReport Library::scan(const std::string& folder, ScanDepth depth, bool libraryFolder,
                         const ScanControl& control) {
    ScanReport report;
    try {
        recovering([&] {
            report = ScanReport{};
            report.folder = folder;
            ScanPass pass(*m_db, m_describe, control, report);
            pass.load(folder, depth);
            pass.finish(walkMusicFiles(folder, depth, pass), libraryFolder);
        });
    } catch (const LibraryError& e) {
        report.complete = false;
        report.error = e.what();
    }
    if (control.progress) control.progress(report);
    return report;
}

ScanReport Library::rescan(const ScanControl& control) {
    ScanReport total;
    std::vector<std::string> all;
    recovering([&] { all = folderList(); });
    total.complete = true;
    for (const std::string& folder : all) {
        // A folder inside another is walked with it.
        bool inner = false;
        for (const std::string& other : all) inner = inner || isUnder(folder, other);
        if (inner) continue;
        const ScanReport r = scan(folder, ScanDepth::Tree, true, control);
        addCounts(total, r);
        if (!r.complete) {
            total.complete = false;
            total.error = r.error;
            return total;
        }
    }
    try {
        recovering([&] { total.removed += dropOutsideFolders(); });
    } catch (const LibraryError& e) {
        total.complete = false;
        total.error = e.what();
    }
    return total;
}

// Songs under no library folder: a scan of a folder that was let go while it
// ran wrote them after the folder's songs were dropped.
std::size_t Library::dropOutsideFolders() {
    const std::vector<std::string> all = folderList();
    std::string outside = "1";
    for (std::size_t i = 0; i < all.size(); ++i)
        outside += " AND NOT (path >= ?" + std::to_string(2 * i + 1) + " AND path < ?" +
                   std::to_string(2 * i + 2) + ")";
    std::size_t dropped = 0;
    sql::Transaction t(*m_db);
    for (const char* table : {"songs", "skipped"}) {
        sql::Statement drop =
            m_db->prepare(std::string("DELETE FROM ") + table + " WHERE " + outside);
        for (std::size_t i = 0; i < all.size(); ++i) {
            const auto [low, high] = pathsUnder(all[i]);
            drop.bind(static_cast<int>(2 * i + 1), low).bind(static_cast<int>(2 * i + 2), high);
        }
        drop.run();
        if (std::string_view(table) == "songs") dropped = static_cast<std::size_t>(m_db->changes());
    }
    t.commit();
    return dropped;
}

ScanReport Library::rescanFolder(const std::string& folder, ScanDepth depth,
                                 const ScanControl& control) {
    const std::string f = libraryFolderForm(folder);
    std::vector<std::string> all;
    recovering([&] { all = folderList(); });
    bool libraryFolder = false, inLibrary = false;
    for (const std::string& other : all) {
        libraryFolder = libraryFolder || other == f;
        inLibrary = inLibrary || other == f || isUnder(f, other);
    }
    if (!inLibrary) {
        ScanReport nothing;
        nothing.folder = f;
        nothing.complete = true;
        return nothing;
    }
    return scan(f, depth, libraryFolder, control);
}

}  // namespace orba
