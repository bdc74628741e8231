// The window's side of the song library: its own connection for searches
// and folder edits (GUI thread), and the scanner that watches the folders
// and reads their songs on its worker.
//
// The scanner's callbacks come on the worker; they are handed on to this
// object's thread as queued calls, progress coalesced so that a scan of
// thousands of files queues one call at a time, never one per file. The
// scanner is stopped (its thread joined) before anything it posts to goes.
//
// Nothing is opened at start-up when the library file does not exist: a
// player whose user never made a library does no library work at all.
#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "library/scanreport.h"
#include "settings/libraryfolders.h"

namespace orba {

class Library;
class LibraryScanner;

class LibraryControl : public QObject, public LibraryFolders {
    Q_OBJECT
public:
    using StatusWriter = std::function<void(std::string text)>;

    // `status` posts a text on the window's status line (the player's one
    // writer); it is called on this object's thread only.
    LibraryControl(std::string libraryFile, StatusWriter status, QObject* parent = nullptr);
    ~LibraryControl() override;

    const std::string& file() const { return m_file; }

    // Watches the folders and reads what changed since the last run, when
    // there is a library.
    void startWatch();
    bool watching() const { return m_scanner != nullptr; }

    // The connection for searches, opened on first use; null, with
    // openError() telling why, when the file can be neither opened nor made.
    Library* library();
    const std::string& openError() const { return m_openError; }

    // LibraryFolders
    std::vector<std::string> folders() override;
    void addFolder(const std::string& folder) override;
    void removeFolder(const std::string& folder) override;

signals:
    // A scan changed the songs: a search shown may be out of date.
    void songsChanged();

private:
    void startScanner();
    void showProgress();
    void scanFinished(const ScanReport& report);
    Library& requireLibrary();

    std::string m_file;
    StatusWriter m_status;
    std::unique_ptr<Library> m_library;
    std::string m_openError;

    // The worker's latest progress, waiting for this thread.
    std::mutex m_progressMutex;
    std::optional<ScanProgress> m_progress;
    std::chrono::steady_clock::time_point m_progressShown{};

    // Last: its thread stops first, while everything it posts to is there.
    std::unique_ptr<LibraryScanner> m_scanner;
};

}  // namespace orba
