#include "playback/videoframes.h"

#include <algorithm>

#include "playback/internal/videodecoder.h"

namespace orba {

int loopTime(int ms, int lengthMs) {
    if (lengthMs <= 0 || ms < 0) return ms;
    return ms % lengthMs;
}

VideoStep planVideoStep(const VideoPosition& at, int target) {
    if (at.sizeChanged) return VideoStep::Seek;
    if (!at.shownMs) return VideoStep::Forward;
    if (target < *at.shownMs || target > *at.shownMs + kVideoFarAheadMs) return VideoStep::Seek;
    return VideoStep::Forward;
}

namespace {

// The first picture after a seek to the key picture at or before `target`.
// A demuxer that places a seek by the stream's rate (MPEG-PS has no index)
// may land after it: it is sent further back, and at last to the start.
std::optional<DecodedPicture> seekBefore(VideoDecoder& decoder, int target, int width, int height) {
    int at = target;
    for (int tries = 0;; ++tries) {
        decoder.seek(at, width, height);
        std::optional<DecodedPicture> first = decoder.next();
        if (!first || first->ms <= target || at == 0) return first;
        at = tries >= 2 ? 0 : std::max(0, at - (first->ms - target) - 1000 * (tries + 1));
    }
}

}  // namespace

VideoFrames::VideoFrames(std::string path, bool loops) : m_path(std::move(path)), m_loops(loops) {
    m_thread = std::thread([this] { run(); });
}

VideoFrames::~VideoFrames() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_stopping = true;
    m_wake.notify_all();
    m_thread.join();
}

std::shared_ptr<const Bitmap> VideoFrames::ask(const Request& r) {
    if (m_wanted != r) {
        m_wanted = r;
        m_wake.notify_one();
    }
    return m_latest;
}

std::shared_ptr<const Bitmap> VideoFrames::picture(int ms, int width, int height) {
    std::lock_guard lock(m_mutex);
    return ask({ms, width, height});
}

std::shared_ptr<const Bitmap> VideoFrames::pictureAt(int ms, int width, int height,
                                                     std::chrono::milliseconds deadline) {
    std::unique_lock lock(m_mutex);
    const Request r{ms, width, height};
    ask(r);
    m_ready.wait_for(lock, deadline, [&] { return m_stop || m_doneFor == r; });
    return m_latest;
}

int VideoFrames::displayWidth() const {
    std::lock_guard lock(m_mutex);
    return m_displayWidth;
}

int VideoFrames::displayHeight() const {
    std::lock_guard lock(m_mutex);
    return m_displayHeight;
}

void VideoFrames::run() {
    VideoDecoder decoder;
    decoder.setStop(&m_stopping);
    const bool opened = decoder.open(m_path, 0, 0);
    {
        // The shape first: whoever heard the file opened asks for it next.
        std::lock_guard lock(m_mutex);
        m_displayWidth = decoder.displayWidth();
        m_displayHeight = decoder.displayHeight();
    }
    m_report.publish(decoder.problem(), decoder.note());

    int length = decoder.lengthMs();
    int width = 0, height = 0;  // the size the pictures come at
    std::optional<DecodedPicture> shown, pending;
    bool atEnd = false;
    std::unique_lock lock(m_mutex);
    while (true) {
        m_wake.wait(lock, [&] { return m_stop || (m_wanted && m_wanted != m_doneFor); });
        if (m_stop) return;
        const Request r = *m_wanted;
        lock.unlock();
        // A looping video learns its length at its first end, when its file
        // did not say it; the time is then placed again.
        for (int pass = 0; opened && pass < 2; ++pass) {
            const int target = m_loops ? loopTime(r.ms, length) : r.ms;
            const VideoPosition at{shown ? std::optional<int>(shown->ms) : std::nullopt,
                                   r.width != width || r.height != height};
            if (planVideoStep(at, target) == VideoStep::Seek) {
                // Near the start the start itself is the surest place to
                // decode from: every demuxer finds it exactly.
                const int from = !shown && target <= kVideoFarAheadMs ? 0 : target;
                shown.reset();
                pending = seekBefore(decoder, from, r.width, r.height);
                width = r.width;
                height = r.height;
                atEnd = false;
            }
            while (!atEnd && !m_stopping) {
                if (!pending) pending = decoder.next();
                if (!pending) {
                    atEnd = true;
                    break;
                }
                if (shown && pending->ms > target) break;
                shown = std::move(pending);
                pending.reset();
            }
            if (!(m_loops && atEnd && shown && length <= 0)) break;
            length = shown->endMs;
        }
        lock.lock();
        if (shown) m_latest = shown->picture;
        m_doneFor = r;
        m_ready.notify_all();
    }
}

}  // namespace orba
