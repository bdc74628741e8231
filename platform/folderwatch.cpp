#include "platform/folderwatch.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace orba {

namespace {

// A file counts once it is closed after writing: copying a song in makes
// one change, not one per block written.
constexpr std::uint32_t kMask = IN_CLOSE_WRITE | IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                                IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF |
                                IN_ONLYDIR;

}  // namespace

FolderWatch::FolderWatch() {
    m_fd = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (m_fd < 0) throw std::runtime_error(std::string("no folder watch: ") + std::strerror(errno));
    m_wakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (m_wakeFd < 0) {
        const int e = errno;
        ::close(m_fd);
        throw std::runtime_error(std::string("no folder watch: ") + std::strerror(e));
    }
}

FolderWatch::~FolderWatch() {
    ::close(m_fd);
    ::close(m_wakeFd);
}

bool FolderWatch::add(const std::string& folder, std::string* error) {
    const int wd = ::inotify_add_watch(m_fd, folder.c_str(), kMask);
    if (wd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    m_folders[wd] = folder;
    return true;
}

void FolderWatch::clear() {
    for (const auto& [wd, folder] : m_folders) ::inotify_rm_watch(m_fd, wd);
    m_folders.clear();
}

std::vector<FolderChange> FolderWatch::wait(int timeoutMs) {
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wakeFd, POLLIN, 0}};
    std::vector<FolderChange> changes;
    if (::poll(fds, 2, timeoutMs) <= 0) return changes;
    if (fds[1].revents & POLLIN) {
        std::uint64_t count = 0;
        [[maybe_unused]] ssize_t n = ::read(m_wakeFd, &count, sizeof count);
    }
    if (fds[0].revents & POLLIN) readChanges(changes);
    return changes;
}

void FolderWatch::wake() {
    const std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(m_wakeFd, &one, sizeof one);
}

void FolderWatch::readChanges(std::vector<FolderChange>& changes) {
    alignas(inotify_event) char buffer[64 * 1024];
    while (true) {
        const ssize_t n = ::read(m_fd, buffer, sizeof buffer);
        if (n <= 0) return;
        for (ssize_t at = 0; at < n;) {
            const auto* e = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + e->len);
            if (e->mask & IN_Q_OVERFLOW) {
                changes.push_back({FolderChange::Kind::Overflow, {}, {}});
                continue;
            }
            const auto it = m_folders.find(e->wd);
            if (it == m_folders.end()) continue;
            if (e->mask & IN_IGNORED) {
                m_folders.erase(it);
                continue;
            }
            if (e->mask & (IN_DELETE_SELF | IN_MOVE_SELF)) {
                changes.push_back({FolderChange::Kind::Gone, it->second, {}});
                continue;
            }
            const auto kind =
                (e->mask & IN_ISDIR) ? FolderChange::Kind::Folder : FolderChange::Kind::File;
            changes.push_back({kind, it->second, e->len ? std::string(e->name) : std::string()});
        }
    }
}

}  // namespace orba
