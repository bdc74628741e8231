// A song's CD+G graphics decoded on a worker thread, for the frame.
//
// Hand-over: the frame names the song time it shows (picture()); the worker
// decodes up to the newest time named and publishes the screen as a shared,
// never again written picture under the mutex. The frame draws the newest
// screen ready and never decodes nor waits, except through pictureAt(),
// which the headless tools and the video export use so that their frames
// show the graphics of exactly their time.
#pragma once

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "playback/cdgstream.h"
#include "playback/openreport.h"

namespace orba {

class CdgGraphics {
public:
    // Starts the worker, which opens `path` first.
    explicit CdgGraphics(std::string path);
    ~CdgGraphics();
    CdgGraphics(const CdgGraphics&) = delete;
    CdgGraphics& operator=(const CdgGraphics&) = delete;

    const std::string& path() const { return m_path; }

    // Sets the worker on the song time `ms`; the newest screen ready, none
    // before the first.
    std::shared_ptr<const CdgPicture> picture(int ms);
    // The screen of exactly `ms`, waiting for the worker at most `deadline`
    // (then the newest screen ready).
    std::shared_ptr<const CdgPicture> pictureAt(int ms, std::chrono::milliseconds deadline);

    // Why the file gives no graphics, or what is odd in it; waits (at most
    // `deadline`) for the worker to have opened it.
    std::string problem(std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
        return m_report.problem(deadline);
    }
    std::string note(std::chrono::milliseconds deadline = std::chrono::seconds(5)) {
        return m_report.note(deadline);
    }

private:
    void run();

    const std::string m_path;
    std::mutex m_mutex;
    std::condition_variable m_wake;   // the worker: a new time, or stop
    std::condition_variable m_ready;  // the waiters: a screen published
    std::optional<int> m_wanted;
    std::optional<int> m_doneFor;  // the time m_latest shows
    std::shared_ptr<const CdgPicture> m_latest;
    OpenReport m_report;
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace orba
