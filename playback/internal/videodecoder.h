// The pictures of a video file through a GStreamer pipeline of its own,
// decoded on the caller's thread (VideoFrames runs it on a worker): the
// file's first picture stream, scaled to the size asked for and converted to
// the bitmaps' 32-bit form; its sound is demuxed and dropped undecoded (the
// media device plays it).
//
// Pictures come in stream order as fast as they are pulled; the sink holds at
// most two, so a decoder never keeps more than a handful of pictures in
// memory. Private to playback/.
#pragma once

#include <atomic>
#include <memory>
#include <optional>
#include <string>

#include "platform/bitmap.h"

namespace orba {

struct DecodedPicture {
    // Shares the decoder's buffer, which it holds until it goes.
    std::shared_ptr<const Bitmap> picture;
    int ms = 0;     // its time in the video
    int endMs = 0;  // when the next one is due, as far as the stream says
};

class VideoDecoder {
public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Opens the file and stands at its start; false with problem() saying
    // why (no picture stream, a plugin missing, not a video).
    bool open(const std::string& path, int width, int height);
    const std::string& problem() const { return m_problem; }
    // What is odd but playable: a file without sound, a missing decoder for
    // its sound.
    const std::string& note() const { return m_note; }
    int displayWidth() const { return m_displayWidth; }
    int displayHeight() const { return m_displayHeight; }
    // -1: not known.
    int lengthMs() const { return m_lengthMs; }

    // The next picture in stream order; none at the end of the stream (or
    // when it broke or stood still too long, which ends it too).
    std::optional<DecodedPicture> next();
    // A pull that waits gives up as soon as `*stop` is set.
    void setStop(const std::atomic<bool>* stop) { m_stop = stop; }
    // Stands at the key picture at or before `ms`; the pictures pulled next
    // are at the size asked for.
    bool seek(int ms, int width, int height);

private:
    struct Impl;
    std::unique_ptr<Impl> m_impl;
    const std::atomic<bool>* m_stop = nullptr;
    std::string m_problem;
    std::string m_note;
    int m_displayWidth = 0;
    int m_displayHeight = 0;
    int m_lengthMs = -1;
};

}  // namespace orba
