// The pictures of a video file decoded on a worker thread, for the frame: a
// karaoke video's own pictures in step with its song, or a background video
// that loops, muted, behind any song.
//
// Hand-over: the frame names the time it shows and the size it draws the
// picture at (picture()); the worker decodes forward to that time, or seeks
// when the time went back or jumped far ahead, and publishes the picture as a
// shared, never again written bitmap under the mutex. The frame draws the
// newest picture ready and never decodes nor waits, except through
// pictureAt(), which the headless tools and the video export use so that
// their frames show the picture of exactly their time.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "platform/bitmap.h"
#include "playback/openreport.h"

namespace orba {

// Where a looping video stands at `ms`: the time modulo its length (a
// length not known yet, or not positive, leaves the time as it is).
int loopTime(int ms, int lengthMs);

// What the worker does to show the picture of `target`: go on decoding, or
// seek first (back in time, or so far ahead that decoding the pictures in
// between would keep the frame waiting).
enum class VideoStep { Forward, Seek };
struct VideoPosition {
    std::optional<int> shownMs;  // the picture the worker stands on; none before the first
    bool sizeChanged = false;    // the size asked for is not that of the pictures coming
};
inline constexpr int kVideoFarAheadMs = 3000;
VideoStep planVideoStep(const VideoPosition& at, int target);

class VideoFrames {
public:
    // Starts the worker, which opens `path` first. `loops`: a background
    // played over and over; otherwise the last picture stays after the end.
    VideoFrames(std::string path, bool loops);
    ~VideoFrames();
    VideoFrames(const VideoFrames&) = delete;
    VideoFrames& operator=(const VideoFrames&) = delete;

    const std::string& path() const { return m_path; }
    bool loops() const { return m_loops; }

    // The newest picture ready (none before the first), and the worker set
    // on `ms` at `width` x `height` (0 x 0: the video's own size).
    std::shared_ptr<const Bitmap> picture(int ms, int width, int height);
    // The picture of exactly `ms` at that size, waiting for the worker at
    // most `deadline` (then the newest picture ready).
    std::shared_ptr<const Bitmap> pictureAt(int ms, int width, int height,
                                            std::chrono::milliseconds deadline);

    // Why the file gives no pictures, or what is odd in it; wait (at most
    // `deadline`) for the worker to have opened it.
    std::string problem(std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
        return m_report.problem(deadline);
    }
    std::string note(std::chrono::milliseconds deadline = std::chrono::seconds(10)) {
        return m_report.note(deadline);
    }
    // The pictures' shape as shown (their pixel aspect applied); 0 x 0 until
    // opened, or without pictures.
    int displayWidth() const;
    int displayHeight() const;

private:
    struct Request {
        int ms = 0;
        int width = 0;
        int height = 0;
        bool operator==(const Request&) const = default;
    };
    void run();
    std::shared_ptr<const Bitmap> ask(const Request& r);

    const std::string m_path;
    const bool m_loops;
    mutable std::mutex m_mutex;
    std::condition_variable m_wake;   // the worker: a new request, or stop
    std::condition_variable m_ready;  // the waiters: a picture published
    std::optional<Request> m_wanted;
    std::optional<Request> m_doneFor;  // the request m_latest answers
    std::shared_ptr<const Bitmap> m_latest;
    OpenReport m_report;
    int m_displayWidth = 0;
    int m_displayHeight = 0;
    bool m_stop = false;
    // Set with m_stop, outside the mutex: a pull waiting on a stalled
    // stream gives up at once.
    std::atomic<bool> m_stopping{false};
    std::thread m_thread;
};

}  // namespace orba
