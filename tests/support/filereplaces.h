// Counts the times a file is replaced (renamed over) or rewritten in place,
// as the kernel reports them: what an atomic save costs the disk.
#pragma once

#include <sys/inotify.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>

namespace orba::test {

class FileReplaceCounter {
public:
    explicit FileReplaceCounter(const std::string& path)
        : m_name(std::filesystem::path(path).filename().string()),
          m_fd(::inotify_init1(IN_NONBLOCK)) {
        std::string folder = std::filesystem::path(path).parent_path().string();
        ::inotify_add_watch(m_fd, folder.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE);
    }
    ~FileReplaceCounter() { ::close(m_fd); }
    FileReplaceCounter(const FileReplaceCounter&) = delete;
    FileReplaceCounter& operator=(const FileReplaceCounter&) = delete;

    // Replaces since the counter was made; the kernel has queued every event
    // of a finished write before the write returned.
    int count() {
        alignas(inotify_event) char buffer[64 * (sizeof(inotify_event) + NAME_MAX + 1)];
        for (;;) {
            ssize_t n = ::read(m_fd, buffer, sizeof buffer);
            if (n <= 0) break;
            for (char* p = buffer; p < buffer + n;) {
                auto* e = reinterpret_cast<inotify_event*>(p);
                if (e->len > 0 && std::strcmp(e->name, m_name.c_str()) == 0) ++m_count;
                p += sizeof(inotify_event) + e->len;
            }
        }
        return m_count;
    }

private:
    std::string m_name;
    int m_fd;
    int m_count = 0;
};

}  // namespace orba::test
