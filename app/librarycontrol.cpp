#include "app/librarycontrol.h"

#include <QMetaObject>

#include "library/library.h"
#include "library/libraryscanner.h"
#include "library/libraryview.h"
#include "platform/files.h"
#include "tools/librarytool.h"

namespace orba {

namespace {

// Progress reaches the status line at most this often; a scan's end says
// what came of it anyway.
constexpr auto kProgressEvery = std::chrono::milliseconds(500);

}  // namespace

LibraryControl::LibraryControl(std::string libraryFile, StatusWriter status, QObject* parent)
    : QObject(parent), m_file(std::move(libraryFile)), m_status(std::move(status)) {}

LibraryControl::~LibraryControl() {
    // Before the members it posts to, and before queued calls could still
    // be made: the worker is joined here.
    m_scanner.reset();
}

void LibraryControl::startWatch() {
    if (m_scanner || m_file.empty() || !fileOrFolderExists(m_file)) return;
    startScanner();
    m_scanner->rescan();
}

void LibraryControl::startScanner() {
    if (m_scanner) return;
    LibraryScanner::Callbacks callbacks;
    callbacks.progress = [this](const ScanProgress& p) {
        bool queue = false;
        {
            std::lock_guard lock(m_progressMutex);
            queue = !m_progress;
            m_progress = p;
        }
        if (queue)
            QMetaObject::invokeMethod(
                this, [this] { showProgress(); }, Qt::QueuedConnection);
    };
    callbacks.finished = [this](const ScanReport& r) {
        QMetaObject::invokeMethod(
            this, [this, r] { scanFinished(r); }, Qt::QueuedConnection);
    };
    callbacks.notice = [this](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { m_status("ライブラリ: " + text); }, Qt::QueuedConnection);
    };
    m_scanner =
        std::make_unique<LibraryScanner>(m_file, describeSongForTools, std::move(callbacks));
}

void LibraryControl::showProgress() {
    std::optional<ScanProgress> p;
    {
        std::lock_guard lock(m_progressMutex);
        p.swap(m_progress);
    }
    const auto now = std::chrono::steady_clock::now();
    if (!p || now - m_progressShown < kProgressEvery) return;
    if (std::optional<std::string> text = scanProgressStatus(*p)) {
        m_status(std::move(*text));
        m_progressShown = now;
    }
}

void LibraryControl::scanFinished(const ScanReport& report) {
    if (std::optional<std::string> text = scanFinishedStatus(report)) m_status(std::move(*text));
    if (report.changedSongs()) emit songsChanged();
}

Library* LibraryControl::library() {
    if (m_library) return m_library.get();
    try {
        m_library = std::make_unique<Library>(m_file, describeSongForTools);
        m_openError.clear();
    } catch (const std::exception& e) {
        m_openError = e.what();
    }
    return m_library.get();
}

Library& LibraryControl::requireLibrary() {
    Library* l = library();
    if (!l) throw LibraryError(m_openError);
    return *l;
}

std::vector<std::string> LibraryControl::folders() {
    // Listing the folders makes no library where there is none yet.
    if (!m_library && !fileOrFolderExists(m_file)) return {};
    return requireLibrary().folders();
}

void LibraryControl::addFolder(const std::string& folder) {
    requireLibrary().addFolder(folder);
    startScanner();
    m_scanner->rescanFolder(folder);
}

void LibraryControl::removeFolder(const std::string& folder) {
    requireLibrary().removeFolder(folder);
    // The watch still holds the folder's tree: a full rescan renews it.
    if (m_scanner) m_scanner->rescan();
    emit songsChanged();
}

}  // namespace orba
