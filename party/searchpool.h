// The guests' searches, on threads of their own: a search of a large
// library takes milliseconds that the server's thread owes to the other
// phones' requests and pushes. Each worker holds its own Library (one
// connection per thread); the line of waiting searches is bounded, and a
// search that finds it full is turned away at once.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace orba::party {

class SearchPool {
public:
    // Called on a worker: the search's answer as JSON, or none when the
    // library failed.
    using Done = std::function<void(std::uint64_t job, std::optional<std::string> json)>;

    SearchPool(std::string libraryFile, int threads, std::size_t maxWaiting, Done done);
    ~SearchPool();  // lets the searches under way end and joins
    SearchPool(const SearchPool&) = delete;
    SearchPool& operator=(const SearchPool&) = delete;

    // False when the line is full.
    bool submit(std::uint64_t job, std::string text);

private:
    void work();

    std::string m_file;
    std::size_t m_maxWaiting;
    Done m_done;
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<std::pair<std::uint64_t, std::string>> m_waiting;
    bool m_stop = false;
    std::vector<std::thread> m_threads;
};

}  // namespace orba::party
