#include "playback/cdggraphics.h"

namespace orba {

CdgGraphics::CdgGraphics(std::string path) : m_path(std::move(path)) {
    m_thread = std::thread([this] { run(); });
}

CdgGraphics::~CdgGraphics() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    m_thread.join();
}

std::shared_ptr<const CdgPicture> CdgGraphics::picture(int ms) {
    std::lock_guard lock(m_mutex);
    if (m_wanted != ms) {
        m_wanted = ms;
        m_wake.notify_one();
    }
    return m_latest;
}

std::shared_ptr<const CdgPicture> CdgGraphics::pictureAt(int ms,
                                                         std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    if (m_wanted != ms) {
        m_wanted = ms;
        m_wake.notify_one();
    }
    m_ready.wait_for(lock, deadline, [&] { return m_stop || m_doneFor == ms; });
    return m_latest;
}

void CdgGraphics::run() {
    CdgStream stream(m_path);
    m_report.publish(stream.problem(), stream.note());
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_stop || (m_wanted && m_wanted != m_doneFor); });
        if (m_stop) return;
        const int ms = *m_wanted;
        lock.unlock();
        // The screen is only made again when a packet changed it.
        std::shared_ptr<const CdgPicture> next;
        if (stream.advanceTo(ms) || !m_latest)
            next = std::make_shared<const CdgPicture>(stream.picture());
        lock.lock();
        if (next) m_latest = std::move(next);
        m_doneFor = ms;
        m_ready.notify_all();
    }
}

}  // namespace orba
