#include "party/searchpool.h"

#include <memory>

#include "library/library.h"
#include "party/partyrules.h"

namespace orba::party {

SearchPool::SearchPool(std::string libraryFile, int threads, std::size_t maxWaiting, Done done)
    : m_file(std::move(libraryFile)), m_maxWaiting(maxWaiting), m_done(std::move(done)) {
    for (int i = 0; i < std::max(1, threads); ++i) m_threads.emplace_back([this] { work(); });
}

SearchPool::~SearchPool() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_waiting.clear();
    }
    m_wake.notify_all();
    for (std::thread& t : m_threads) t.join();
}

bool SearchPool::submit(std::uint64_t job, std::string text) {
    {
        std::lock_guard lock(m_mutex);
        if (m_waiting.size() >= m_maxWaiting) return false;
        m_waiting.emplace_back(job, std::move(text));
    }
    m_wake.notify_one();
    return true;
}

void SearchPool::work() {
    // Opened on this thread before the first search comes; a library that
    // failed is tried again with the next search.
    std::unique_ptr<Library> library;
    try {
        library = std::make_unique<Library>(m_file);
    } catch (const std::exception&) {
    }
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_waiting.empty(); });
        if (m_stop) return;
        auto [job, text] = std::move(m_waiting.front());
        m_waiting.pop_front();
        lock.unlock();
        std::optional<std::string> json;
        try {
            if (!library) library = std::make_unique<Library>(m_file);
            json = searchJson(library->search(text, kSearchLimit));
        } catch (const std::exception&) {
            library.reset();
        }
        m_done(job, std::move(json));
        lock.lock();
    }
}

}  // namespace orba::party
