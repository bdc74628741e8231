#include "library/library.h"

#include <ctime>
#include <filesystem>
#include <functional>

#include "library/folderpaths.h"
#include "library/namekeys.h"
#include "library/schema.h"
#include "library/sqlite.h"
#include "platform/fileinfo.h"
#include "platform/files.h"
#include "settings/shortcuts.h"

namespace orba {

namespace fs = std::filesystem;

namespace {

// A scan holds the write lock for a fraction of a second at a time; a
// migration of a large file for longer.
constexpr int kBusyMs = 10000;

std::pair<std::uint64_t, std::uint64_t> identityOf(const std::string& path) {
    const std::optional<FileInfo> info = fileInfo(path);
    return info ? std::pair{info->device, info->inode} : std::pair<std::uint64_t, std::uint64_t>{};
}

std::string timeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    ::localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

// The folders of a damaged file, as far as they can still be read.
std::vector<std::string> salvageFolders(const std::string& file) {
    std::vector<std::string> folders;
    try {
        sql::Database old(file, 0);
        sql::Statement s = old.prepare("SELECT path FROM folders ORDER BY path");
        while (s.step()) folders.push_back(s.text(0));
    } catch (const std::exception&) {
        // Nothing of it is readable: the user adds the folders again.
    }
    return folders;
}

}  // namespace

const char* skipReasonName(SkipReason reason) {
    switch (reason) {
        case SkipReason::NoAccess:
            return "no access";
        case SkipReason::Unreadable:
            return "unreadable";
        case SkipReason::BrokenLink:
            return "broken link";
        case SkipReason::FolderUnreadable:
            return "folder unreadable";
    }
    return "unreadable";
}

std::string defaultLibraryFile() {
    const std::string data = dataHome(shortcutEnvironmentFromProcess());
    return data.empty() ? std::string() : data + "/orbakaraoke/library.db";
}

std::string libraryFileFromEnvironment() {
    const std::string chosen = environmentValue("ORBAKARAOKE_LIBRARY");
    return chosen.empty() ? defaultLibraryFile() : chosen;
}

std::string libraryFolderForm(const std::string& folder) {
    std::error_code ec;
    fs::path p = fs::absolute(folder, ec);
    if (ec) p = folder;
    return withoutTrailingSeparator(p.lexically_normal().string());
}

Library::Library(std::string file, DescribeSong describe)
    : m_file(std::move(file)), m_describe(std::move(describe)) {
    if (m_file.empty())
        throw LibraryError("no place for the song library: neither XDG_DATA_HOME nor HOME is set");
    if (!m_describe) m_describe = describeByFileName;
    open();
}

Library::~Library() = default;

void Library::open() {
    std::string damage;
    try {
        openFile();
        return;
    } catch (const sql::Error& e) {
        if (!e.damaged())
            throw LibraryError("cannot open the song library " + m_file + ": " + e.what());
        damage = e.what();
    } catch (const std::runtime_error& e) {
        throw LibraryError(e.what());
    }
    moveAside(damage);
}

void Library::openFile() {
    m_names.reset();
    m_db.reset();
    std::error_code ec;
    fs::create_directories(fs::path(m_file).parent_path(), ec);
    auto db = std::make_unique<sql::Database>(m_file, kBusyMs);
    db->integer("PRAGMA journal_mode = WAL");
    // With a write-ahead log, a crash loses at most the last transactions,
    // never the file.
    db->exec("PRAGMA synchronous = NORMAL");
    schema::addFunctions(*db);
    schema::bringUpToDate(*db);
    // The header alone can look right; reading the songs' index finds a
    // file cut short.
    db->integer("SELECT count(*) FROM songs");
    m_db = std::move(db);
    m_opened = identityOf(m_file);
}

void Library::moveAside(const std::string& why) {
    m_db.reset();
    const std::vector<std::string> folders = salvageFolders(m_file);
    std::string kept = m_file + ".damaged-" + timeStamp();
    for (int n = 2; fs::exists(kept); ++n)
        kept = m_file + ".damaged-" + timeStamp() + "-" + std::to_string(n);
    std::error_code ec;
    fs::rename(m_file, kept, ec);
    if (ec)
        throw LibraryError("the song library " + m_file + " is damaged (" + why +
                           ") and cannot be moved aside: " + ec.message());
    fs::rename(m_file + "-wal", kept + "-wal", ec);
    fs::remove(m_file + "-shm", ec);
    m_notice = "The song library " + m_file + " was damaged (" + why + "); it is kept as " + kept +
               " and a new one is built.";
    try {
        openFile();
        sql::Statement add = m_db->prepare("INSERT OR IGNORE INTO folders(path) VALUES(?)");
        for (const std::string& f : folders) add.bind(1, f).run();
    } catch (const std::exception& e) {
        throw LibraryError("cannot build a new song library " + m_file + ": " + e.what());
    }
}

// Another player may have moved a damaged file aside and built a new one:
// this connection would go on with the old file.
void Library::reopenIfReplaced() {
    if (m_db && identityOf(m_file) == m_opened) return;
    if (m_db) m_db->keepLogOnClose();
    open();
}

void Library::recovering(const std::function<void()>& work) {
    reopenIfReplaced();
    try {
        work();
        return;
    } catch (const sql::Error& e) {
        if (!e.damaged()) throw LibraryError(e.what());
        moveAside(e.what());
    }
    try {
        work();
    } catch (const sql::Error& e) {
        throw LibraryError(e.what());
    }
}

bool Library::addFolder(const std::string& folder) {
    const std::string f = libraryFolderForm(folder);
    if (!isFolder(f)) throw LibraryError(folder + " is no folder");
    bool added = false;
    recovering([&] {
        m_db->prepare("INSERT OR IGNORE INTO folders(path) VALUES(?)").bind(1, f).run();
        added = m_db->changes() > 0;
    });
    return added;
}

bool Library::removeFolder(const std::string& folder) {
    const std::string f = libraryFolderForm(folder);
    bool removed = false;
    recovering([&] {
        sql::Transaction t(*m_db);
        m_db->prepare("DELETE FROM folders WHERE path = ?").bind(1, f).run();
        removed = m_db->changes() > 0;
        if (!removed) return;
        const std::vector<std::string> others = folderList();
        auto heldElsewhere = [&](const std::string& path) {
            for (const std::string& o : others)
                if (isUnder(path, o)) return true;
            return false;
        };
        const auto [low, high] = pathsUnder(f);
        for (const char* table : {"songs", "skipped"}) {
            const std::string where =
                std::string(" FROM ") + table + " WHERE path >= ? AND path < ?";
            sql::Statement under = m_db->prepare("SELECT path" + where);
            sql::Statement drop =
                m_db->prepare(std::string("DELETE FROM ") + table + " WHERE path = ?");
            under.bind(1, low).bind(2, high);
            std::vector<std::string> gone;
            while (under.step())
                if (!heldElsewhere(under.text(0))) gone.push_back(under.text(0));
            for (const std::string& path : gone) drop.bind(1, path).run();
        }
        t.commit();
    });
    return removed;
}

std::vector<std::string> Library::folders() {
    std::vector<std::string> list;
    recovering([&] { list = folderList(); });
    return list;
}

std::vector<std::string> Library::folderList() {
    std::vector<std::string> list;
    sql::Statement s = m_db->prepare("SELECT path FROM folders ORDER BY path");
    while (s.step()) list.push_back(s.text(0));
    return list;
}

LibraryStats Library::stats() {
    LibraryStats st;
    recovering([&] {
        st = {};
        st.folders = folderList();
        st.songs = m_db->integer("SELECT count(*) FROM songs WHERE missing = 0");
        st.missing = m_db->integer("SELECT count(*) FROM songs WHERE missing = 1");
        auto counts = [&](const std::string& query) {
            std::vector<std::pair<std::string, std::int64_t>> list;
            sql::Statement s = m_db->prepare(query);
            while (s.step()) list.emplace_back(s.text(0), s.integer(1));
            return list;
        };
        st.types = counts(
            "SELECT type, count(*) FROM songs WHERE missing = 0 GROUP BY type ORDER BY 2 DESC, 1");
        st.dialects = counts(
            "SELECT lyric_dialect, count(*) FROM songs WHERE missing = 0 GROUP BY lyric_dialect "
            "ORDER BY 2 DESC, 1");
        st.skipped =
            counts("SELECT reason, count(*) FROM skipped GROUP BY reason ORDER BY 2 DESC, 1");
        st.databaseBytes = m_db->integer("PRAGMA page_count") * m_db->integer("PRAGMA page_size");
        if (const std::optional<FileInfo> wal = fileInfo(m_file + "-wal"))
            st.databaseBytes += wal->size;
    });
    return st;
}

}  // namespace orba
