// Scans on a worker thread, with a Library of its own: full rescans and
// folder rescans that the caller asks for, and, while watching, rescans of
// the folders the system says changed, a moment after the changes settle
// (a song copied in shows within a second or two). The watch covers the
// folders the last full rescan walked and those found since.
//
// The callbacks run on the worker thread; a window posts them on to its
// own. A search meanwhile goes through the window's own Library: the
// catalogue's file lets it read while the scanner writes.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "library/scanreport.h"
#include "library/songfacts.h"

namespace orba {

class FolderWatch;
class Library;
struct FolderChange;

class LibraryScanner {
public:
    struct Callbacks {
        std::function<void(const ScanProgress&)> progress;
        // After every scan, the watch's too.
        std::function<void(const ScanReport&)> finished;
        // When the file was found damaged and rebuilt, or cannot be opened.
        std::function<void(const std::string& text)> notice;
    };

    // `describe` is called on the worker thread only.
    LibraryScanner(std::string libraryFile, DescribeSong describe, Callbacks callbacks,
                   bool watch = true);
    // Cancels the scan in progress and waits for the thread.
    ~LibraryScanner();
    LibraryScanner(const LibraryScanner&) = delete;
    LibraryScanner& operator=(const LibraryScanner&) = delete;

    // Every library folder, renewing the watch.
    void rescan();
    // One folder's tree: a folder just added to the library.
    void rescanFolder(const std::string& folder);
    // Stops the scan in progress and drops the queued ones.
    void cancel();
    // A scan runs or waits.
    bool busy() const;

private:
    struct Job {
        std::string folder;  // empty: every folder
        ScanDepth depth = ScanDepth::Tree;
    };

    void post(Job job);
    void run();
    void runJob(Library& library, const Job& job);
    void note(const FolderChange& change);
    void watchFolder(const std::string& folder);

    std::string m_file;
    DescribeSong m_describe;
    Callbacks m_callbacks;
    // Also what wakes the thread when a job comes; watched folders only
    // while m_watching.
    std::unique_ptr<FolderWatch> m_watch;
    bool m_watching = false;

    mutable std::mutex m_mutex;
    std::condition_variable m_wakeUp;  // when there is no FolderWatch
    std::deque<Job> m_jobs;
    bool m_running = false;
    std::atomic<bool> m_cancel{false};
    std::atomic<bool> m_stop{false};

    // Worker only: folders the watch saw change, waiting for the changes to
    // settle.
    std::map<std::string, ScanDepth> m_changed;
    std::chrono::steady_clock::time_point m_firstChange, m_lastChange;
    std::string m_lastNotice;

    std::thread m_thread;  // last: starts once everything above is made
};

}  // namespace orba
