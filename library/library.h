// The song catalogue: the folders the user chose, every music file under
// them with what its describer told of it, and a search over titles,
// artists and lyrics that finds as the singer types.
//
// One Library is one connection to the catalogue's file, for one thread.
// Two players, or a player's window and its scanner thread, each open their
// own and share the file: readers never wait, writers take turns (a scan
// writes in transactions of at most half a second, so another's waits are
// short too). A file
// found damaged is moved aside, kept under a name that notice() gives, and
// a new one is built with the same folders.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "settings/queuevalues.h"
#include "library/scanreport.h"
#include "library/songfacts.h"

namespace orba {

namespace sql {
class Database;
}
class NameKeys;

class LibraryError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct SearchHit {
    std::int64_t id = 0;
    std::string path;
    std::string title;
    std::string artist;
    // The lyric line that matched, as the song shows it; empty when the
    // title or artist did.
    std::string line;
};

struct LibraryStats {
    std::vector<std::string> folders;
    std::int64_t songs = 0;    // present songs
    std::int64_t missing = 0;  // kept, but their folder could not be reached
    // Counts of present songs by type and lyric dialect ("" for none), and
    // of the skipped files and folders by reason; largest first.
    std::vector<std::pair<std::string, std::int64_t>> types;
    std::vector<std::pair<std::string, std::int64_t>> dialects;
    std::vector<std::pair<std::string, std::int64_t>> skipped;
    std::int64_t databaseBytes = 0;  // the file with its write-ahead log
};

class Library {
public:
    // Opens the file, or makes it (and its folder). `describe` reads the
    // songs; without one they are told by their file names. Throws
    // LibraryError when the file can be neither opened nor rebuilt.
    explicit Library(std::string file, DescribeSong describe = {});
    ~Library();
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const std::string& file() const { return m_file; }
    // What the user should hear about the file: empty, or that it was found
    // damaged and where it is kept.
    const std::string& notice() const { return m_notice; }

    // Takes a folder in (its songs come with the next scan). False when it
    // is in already. Throws LibraryError when it is no folder.
    bool addFolder(const std::string& folder);
    // Lets a folder go, with the songs under it that no other folder holds.
    bool removeFolder(const std::string& folder);
    std::vector<std::string> folders();

    // Reads every new or changed song under the folders and drops the songs
    // whose files are gone; a song is read again when its size, its time or
    // a file beside it sharing its name changed.
    ScanReport rescan(const ScanControl& control = {});
    // The same for one folder: one that the watch saw change, or one just
    // added. A folder that is no longer there takes its songs with it (a
    // library folder's songs are kept, marked missing: a drive unplugged).
    ScanReport rescanFolder(const std::string& folder, ScanDepth depth,
                            const ScanControl& control = {});

    // Songs whose title, artist or lyrics hold every word of `text`, whatever
    // the width, kana or letter case: title and artist matches first, then
    // lyric matches with the line. A word of one or two characters is
    // looked for in titles and artists only.
    std::vector<SearchHit> search(std::string_view text, int limit = 50);

    LibraryStats stats();

    // A present song, by its id or by its path.
    std::optional<SearchHit> song(std::int64_t id);
    std::optional<SearchHit> songAt(const std::string& path);

    // The party queue as last saved; none when it never was.
    std::optional<PartyQueueState> loadQueue();
    // Replaces what was saved, in one transaction.
    void saveQueue(const PartyQueueState& queue);

    // A song's singing score: kept when it beats the best so far. Returns
    // the best before it; none when the song had no score.
    std::optional<int> recordScore(const std::string& path, int score);
    std::optional<int> bestScore(const std::string& path);

private:
    void open();
    void openFile();
    void moveAside(const std::string& why);
    void reopenIfReplaced();
    // Runs `work`; when the file turns out damaged, moves it aside, builds a
    // new one and runs `work` again.
    void recovering(const std::function<void()>& work);
    std::vector<std::string> folderList();
    ScanReport scan(const std::string& folder, ScanDepth depth, bool libraryFolder,
                    const ScanControl& control);
    std::size_t dropOutsideFolders();
    std::vector<SearchHit> searchTerms(const std::vector<std::string>& terms, int limit);
    const NameKeys& currentNames();

    std::string m_file;
    DescribeSong m_describe;
    std::unique_ptr<sql::Database> m_db;
    std::pair<std::uint64_t, std::uint64_t> m_opened{};  // device and inode of the open file
    std::string m_notice;

    // The names in memory for short words, and what the file was when they
    // were read: this connection's own writes and others' (data_version).
    std::unique_ptr<NameKeys> m_names;
    std::int64_t m_namesOwnChanges = 0;
    std::int64_t m_namesDataVersion = 0;
    std::chrono::steady_clock::time_point m_namesRead;
};

// $XDG_DATA_HOME/orbakaraoke/library.db, else ~/.local/share/orbakaraoke/library.db.
std::string defaultLibraryFile();
// ORBAKARAOKE_LIBRARY when it is set, else the default.
std::string libraryFileFromEnvironment();
// A folder as the catalogue keeps it: absolute, without "." and ".." steps
// and without a trailing separator.
std::string libraryFolderForm(const std::string& folder);

}  // namespace orba
