// Picture loads of the slideshow, and a worker thread that does them ahead.
//
// A load starts at an index of the picture list, tries up to
// kPictureTriesPerLoad files until one decodes, and scales, greys and crops it the
// way the style asks. Its result depends on nothing but the list and a
// PictureLoadKey, so a load done early on the worker is the same bitmap the
// frame would have decoded itself.
//
// Hand-over: the worker owns the job and its result until take() finds a
// finished result under the mutex and moves it out; the frame never reads a
// bitmap the worker is still writing, and never waits for one.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/bitmap.h"

namespace orba {

class JpegPicture;

// Chooses the decoding scale of a loaded picture for a client of
// width x height and the style's factor, and the grey mode.
void prepareJpeg(JpegPicture& jpeg, int width, int height, bool grey, double factor);

struct PictureLoadKey {
    int index = 0;  // where the list stands
    int cw = 0, ch = 0;
    bool grey = false;
    double factor = 0;  // decoding scale against the client; 0 is full size
    bool crop = false;  // centre crop to at most the client
    bool operator==(const PictureLoadKey&) const = default;
};

struct PictureLoad {
    Bitmap picture;  // a null image when no file of the tries decoded
    bool ok = false;
    int nextIndex = 0;  // where the list stands after the tries
};

// A file that cannot be decoded is passed over; after this many in a row
// the load gives up.
inline constexpr int kPictureTriesPerLoad = 4;

// One load, on the caller's thread. `files` is not empty.
PictureLoad loadPicture(const std::vector<std::string>& files, const PictureLoadKey& key);

// `count` loads in a row, each starting where the one before stopped.
std::vector<PictureLoad> loadPictures(const std::vector<std::string>& files,
                                      const PictureLoadKey& key, int count);

class PictureDecoder {
public:
    PictureDecoder();
    ~PictureDecoder();
    PictureDecoder(const PictureDecoder&) = delete;
    PictureDecoder& operator=(const PictureDecoder&) = delete;

    // The `count` loads from `key`, when the worker has finished them; then
    // the worker goes on with the `count` loads after them, the ones the
    // next picture change will ask for. Nothing yet (and the worker set on
    // exactly these loads) when they are not ready.
    std::optional<std::vector<PictureLoad>> take(const std::vector<std::string>& files,
                                                 const PictureLoadKey& key, int count);

    // Sets the worker on the `count` loads from `key` before any frame asks
    // for them (a song load), unless it is on them already.
    void prepare(const std::vector<std::string>& files, const PictureLoadKey& key, int count);

    // Whether the worker's job is finished and waits to be taken.
    bool finished() const;

    // Drops the job and any finished result; a decode in flight finishes
    // unseen.
    void cancel();

private:
    struct Job {
        std::vector<std::string> files;
        PictureLoadKey key;
        int count = 0;
        bool matches(const std::vector<std::string>& f, const PictureLoadKey& k, int c) const {
            return key == k && count == c && files == f;
        }
    };
    void run();
    void startLocked(Job job);

    mutable std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Job> m_job;                        // what the worker should have ready
    std::optional<std::vector<PictureLoad>> m_done;  // m_job's finished loads
    std::uint64_t m_generation = 0;                  // changes with every new job or cancel
    std::uint64_t m_started = 0;                     // the generation the worker last took up
    bool m_stop = false;
    std::thread m_thread;
};

}  // namespace orba
