#include "library/libraryscanner.h"

#include <chrono>

#include "library/library.h"
#include "platform/folderwatch.h"

namespace orba {

namespace {

using Clock = std::chrono::steady_clock;

// A folder is rescanned once no change came for a moment, or at the latest
// this long after its first change (a copy of many songs still shows as it
// goes).
constexpr auto kSettle = std::chrono::milliseconds(300);
constexpr auto kLongestWait = std::chrono::milliseconds(1000);

std::string childPath(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
}

}  // namespace

LibraryScanner::LibraryScanner(std::string libraryFile, DescribeSong describe, Callbacks callbacks,
                               bool watch)
    : m_file(std::move(libraryFile)),
      m_describe(std::move(describe)),
      m_callbacks(std::move(callbacks)) {
    try {
        m_watch = std::make_unique<FolderWatch>();
    } catch (const std::exception& e) {
        if (watch && m_callbacks.notice) m_callbacks.notice(e.what());
    }
    // Without watching the FolderWatch only serves to wake the thread.
    m_watching = watch && m_watch;
    m_thread = std::thread([this] { run(); });
}

LibraryScanner::~LibraryScanner() {
    m_stop = true;
    m_cancel = true;
    if (m_watch) m_watch->wake();
    m_wakeUp.notify_all();
    m_thread.join();
}

void LibraryScanner::rescan() {
    post({});
}

void LibraryScanner::rescanFolder(const std::string& folder) {
    post({folder, ScanDepth::Tree});
}

void LibraryScanner::cancel() {
    std::lock_guard lock(m_mutex);
    m_jobs.clear();
    m_cancel = true;
}

bool LibraryScanner::busy() const {
    std::lock_guard lock(m_mutex);
    return m_running || !m_jobs.empty();
}

void LibraryScanner::post(Job job) {
    {
        std::lock_guard lock(m_mutex);
        m_jobs.push_back(std::move(job));
    }
    if (m_watch) m_watch->wake();
    m_wakeUp.notify_all();
}

void LibraryScanner::run() {
    std::unique_ptr<Library> library;
    std::string openError;
    try {
        library = std::make_unique<Library>(m_file, m_describe);
        if (!library->notice().empty() && m_callbacks.notice) m_callbacks.notice(library->notice());
    } catch (const std::exception& e) {
        openError = e.what();
        if (m_callbacks.notice) m_callbacks.notice(openError);
    }
    while (!m_stop) {
        Job job;
        bool haveJob = false;
        {
            std::unique_lock lock(m_mutex);
            if (!m_jobs.empty()) {
                job = std::move(m_jobs.front());
                m_jobs.pop_front();
                m_cancel = false;
                m_running = haveJob = true;
            }
        }
        if (haveJob) {
            if (library) {
                runJob(*library, job);
            } else if (m_callbacks.finished) {
                ScanReport failed;
                failed.folder = job.folder;
                failed.error = openError;
                m_callbacks.finished(failed);
            }
            std::lock_guard lock(m_mutex);
            m_running = false;
            continue;
        }
        if (!m_watch) {
            std::unique_lock lock(m_mutex);
            m_wakeUp.wait(lock, [&] { return m_stop || !m_jobs.empty(); });
            continue;
        }
        int timeoutMs = -1;
        if (!m_changed.empty()) {
            const Clock::time_point due =
                std::min(m_lastChange + kSettle, m_firstChange + kLongestWait);
            timeoutMs = static_cast<int>(std::max<Clock::rep>(
                0,
                std::chrono::duration_cast<std::chrono::milliseconds>(due - Clock::now()).count()));
        }
        for (const FolderChange& change : m_watch->wait(timeoutMs)) note(change);
        if (m_changed.empty() || !library) continue;
        const Clock::time_point now = Clock::now();
        if (now < m_lastChange + kSettle && now < m_firstChange + kLongestWait) continue;
        const std::map<std::string, ScanDepth> changed = std::move(m_changed);
        m_changed.clear();
        for (const auto& [folder, depth] : changed) {
            if (m_stop) break;
            runJob(*library, {folder, depth});
        }
    }
}

void LibraryScanner::runJob(Library& library, const Job& job) {
    ScanControl control;
    control.progress = m_callbacks.progress;
    control.cancel = &m_cancel;
    if (m_watching) control.folderEntered = [this](const std::string& f) { watchFolder(f); };
    ScanReport report;
    if (job.folder.empty()) {
        if (m_watching) m_watch->clear();
        report = library.rescan(control);
    } else {
        report = library.rescanFolder(job.folder, job.depth, control);
    }
    if (!library.notice().empty() && library.notice() != m_lastNotice) {
        m_lastNotice = library.notice();
        if (m_callbacks.notice) m_callbacks.notice(m_lastNotice);
    }
    if (m_callbacks.finished) m_callbacks.finished(report);
}

void LibraryScanner::watchFolder(const std::string& folder) {
    m_watch->add(folder);
}

void LibraryScanner::note(const FolderChange& change) {
    if (!m_watching) return;
    if (change.kind == FolderChange::Kind::Overflow) {
        // Changes were lost: only a walk over everything finds them.
        post({});
        return;
    }
    if (!change.name.empty() && change.name.front() == '.') return;
    std::string folder = change.folder;
    ScanDepth depth = ScanDepth::FolderOnly;
    if (change.kind == FolderChange::Kind::Gone) {
        depth = ScanDepth::Tree;
    } else if (change.kind == FolderChange::Kind::Folder) {
        folder = childPath(change.folder, change.name);
        depth = ScanDepth::Tree;
    }
    auto [it, added] = m_changed.emplace(folder, depth);
    if (!added && depth == ScanDepth::Tree) it->second = depth;
    const Clock::time_point now = Clock::now();
    if (m_changed.size() == 1 && added) m_firstChange = now;
    m_lastChange = now;
}

}  // namespace orba
