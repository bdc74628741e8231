#include "playback/openreport.h"

namespace orba {

void OpenReport::publish(std::string problem, std::string note) {
    {
        std::lock_guard lock(m_mutex);
        m_opened = true;
        m_problem = std::move(problem);
        m_note = std::move(note);
    }
    m_published.notify_all();
}

std::string OpenReport::problem(std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    return m_published.wait_for(lock, deadline, [&] { return m_opened; }) ? m_problem
                                                                          : "is still being opened";
}

std::string OpenReport::note(std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    return m_published.wait_for(lock, deadline, [&] { return m_opened; }) ? m_note : std::string();
}

}  // namespace orba
