#include "effects/picturedecoder.h"

#include <algorithm>

#include "effects/imagestyles.h"
#include "platform/jpegpicture.h"

namespace orba {

void prepareJpeg(JpegPicture& jpeg, int width, int height, bool grey, double factor) {
    if (factor > 0) jpeg.setScale(jpegScaleFor(jpeg.width(), jpeg.height(), width, height, factor));
    jpeg.setGrayscale(grey);
}

PictureLoad loadPicture(const std::vector<std::string>& files, const PictureLoadKey& key) {
    const int count = static_cast<int>(files.size());
    PictureLoad load;
    int index = key.index;
    JpegPicture jpeg;
    Bitmap decoded;
    for (int tries = 0; tries < std::min(kPictureTriesPerLoad, count) && !load.ok; ++tries) {
        const std::string& file = files[static_cast<std::size_t>(index)];
        index = (index + 1) % count;
        if (!jpeg.loadFromFile(file)) continue;
        prepareJpeg(jpeg, key.cw, key.ch, key.grey, key.factor);
        load.ok = jpeg.decode(decoded);
    }
    load.nextIndex = index;
    if (!load.ok) return load;
    const int jw = decoded.width(), jh = decoded.height();
    if (!key.crop || (jw <= key.cw && jh <= key.ch)) {
        load.picture.image() = std::move(decoded.image());
        return load;
    }
    // Centre crop to at most the client size.
    const int x = jw > key.cw ? key.cw / 2 - jw / 2 : 0;
    const int y = jh > key.ch ? key.ch / 2 - jh / 2 : 0;
    load.picture.setSize(std::min(jw, key.cw), std::min(jh, key.ch));
    load.picture.canvas().draw(x, y, decoded);
    return load;
}

std::vector<PictureLoad> loadPictures(const std::vector<std::string>& files,
                                      const PictureLoadKey& key, int count) {
    std::vector<PictureLoad> loads;
    PictureLoadKey next = key;
    for (int n = 0; n < count; ++n) {
        loads.push_back(loadPicture(files, next));
        next.index = loads.back().nextIndex;
    }
    return loads;
}

PictureDecoder::PictureDecoder() : m_thread([this] { run(); }) {}

PictureDecoder::~PictureDecoder() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void PictureDecoder::startLocked(Job job) {
    m_job = std::move(job);
    m_done.reset();
    ++m_generation;
    m_wake.notify_one();
}

std::optional<std::vector<PictureLoad>> PictureDecoder::take(const std::vector<std::string>& files,
                                                             const PictureLoadKey& key, int count) {
    std::lock_guard lock(m_mutex);
    if (!m_job || !m_job->matches(files, key, count)) {
        startLocked({files, key, count});
        return std::nullopt;
    }
    if (!m_done) return std::nullopt;
    std::vector<PictureLoad> loads = std::move(*m_done);
    Job next = std::move(*m_job);
    next.key.index = loads.back().nextIndex;
    startLocked(std::move(next));
    return loads;
}

void PictureDecoder::prepare(const std::vector<std::string>& files, const PictureLoadKey& key,
                             int count) {
    std::lock_guard lock(m_mutex);
    if (m_job && m_job->matches(files, key, count)) return;
    startLocked({files, key, count});
}

bool PictureDecoder::finished() const {
    std::lock_guard lock(m_mutex);
    return m_done.has_value();
}

void PictureDecoder::cancel() {
    std::lock_guard lock(m_mutex);
    m_job.reset();
    m_done.reset();
    ++m_generation;
}

void PictureDecoder::run() {
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || (m_job && m_started != m_generation); });
        if (m_stop) return;
        m_started = m_generation;
        const Job job = *m_job;
        lock.unlock();
        std::vector<PictureLoad> loads = loadPictures(job.files, job.key, job.count);
        lock.lock();
        // A job replaced or cancelled meanwhile keeps what it has.
        if (m_started == m_generation) m_done = std::move(loads);
    }
}

}  // namespace orba
