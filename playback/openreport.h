// What a decoding worker found when it opened its file, for the threads that
// ask: they wait for the worker to have opened it, at most a deadline.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

namespace orba {

class OpenReport {
public:
    // The worker, once: why the file gives nothing (empty: it opened), and
    // what is odd in it but readable.
    void publish(std::string problem, std::string note);

    // Both wait at most `deadline` for publish.
    std::string problem(std::chrono::milliseconds deadline);
    std::string note(std::chrono::milliseconds deadline);

private:
    std::mutex m_mutex;
    std::condition_variable m_published;
    bool m_opened = false;
    std::string m_problem;
    std::string m_note;
};

}  // namespace orba
