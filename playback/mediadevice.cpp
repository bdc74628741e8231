#include "playback/mediadevice.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>

#include "playback/audiosink.h"
#include "playback/midisource.h"
#include "playback/miditempomap.h"
#include "playback/mpegaudiolength.h"

namespace orba {

const char* const kNoDeviceText = "MCI デバイスがありません";
const char* const kUnknownErrorText = "原因不明のエラー";

namespace {

// Opening, a second try through the silent sink included, waits at most
// this long for the file to be ready to play, so that a song load never
// stands still for ten seconds.
constexpr int kOpenTimeoutMs = 8000;
constexpr int kSeekTimeoutMs = 5000;
constexpr int kStateTimeoutMs = 2000;
// MIDI files are small; anything larger is not one worth reading whole.
constexpr std::streamsize kMaxMidiBytes = 16 << 20;
// Enough frames to average the bitrate of a stream over its first minute.
constexpr std::streamsize kMpegHeadBytes = 1 << 20;
constexpr unsigned kPlayFlagAudio = 0x02;
constexpr unsigned kPlayFlagSoftVolume = 0x10;

const char* const kBrokenMidiText = "MIDI ファイルの形式が正しくありません";

bool initGStreamer() {
    static bool ok = [] {
        GError* error = nullptr;
        bool done = gst_init_check(nullptr, nullptr, &error);
        if (error) g_error_free(error);
        return done;
    }();
    return ok;
}

std::uint32_t errorCodeFor(const GError* error) {
    if (error->domain == GST_RESOURCE_ERROR) {
        switch (error->code) {
            case GST_RESOURCE_ERROR_NOT_FOUND:
            case GST_RESOURCE_ERROR_OPEN_READ:
            case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
                return kMediaFileNotFound;
            case GST_RESOURCE_ERROR_READ:
                return kMediaInvalidFile;
            default:
                return kMediaHardware;
        }
    }
    if (error->domain == GST_STREAM_ERROR) {
        switch (error->code) {
            case GST_STREAM_ERROR_CODEC_NOT_FOUND:
                return kMediaCannotLoadDriver;
            case GST_STREAM_ERROR_FAILED:
            case GST_STREAM_ERROR_TYPE_NOT_FOUND:
            case GST_STREAM_ERROR_WRONG_TYPE:
            case GST_STREAM_ERROR_DECODE:
            case GST_STREAM_ERROR_DEMUX:
            case GST_STREAM_ERROR_FORMAT:
                return kMediaInvalidFile;
            default:
                return kMediaInternal;
        }
    }
    if (error->domain == GST_CORE_ERROR && error->code == GST_CORE_ERROR_MISSING_PLUGIN)
        return kMediaCannotLoadDriver;
    return kMediaInternal;
}

std::string readStart(const std::string& path, std::streamsize limit) {
    std::ifstream in(path, std::ios::binary);
    std::string bytes(static_cast<std::size_t>(limit), '\0');
    in.read(bytes.data(), limit);
    bytes.resize(static_cast<std::size_t>(std::max<std::streamsize>(in.gcount(), 0)));
    return bytes;
}

// The element that keeps the playback clock: a sink described as a bin (or
// the desktop's automatic sink) answers position queries through its inner
// sink, asked directly so that the per-frame query stays cheap.
GstElement* innermostSink(GstElement* sink) {
    GstElement* current = GST_ELEMENT(gst_object_ref(sink));
    while (GST_IS_BIN(current)) {
        GstIterator* it = gst_bin_iterate_sinks(GST_BIN(current));
        GValue item = G_VALUE_INIT;
        GstElement* inner = nullptr;
        if (gst_iterator_next(it, &item) == GST_ITERATOR_OK) {
            inner = GST_ELEMENT(g_value_dup_object(&item));
            g_value_unset(&item);
        }
        gst_iterator_free(it);
        if (!inner) break;
        gst_object_unref(current);
        current = inner;
    }
    return current;
}

int toMs(gint64 ns) {
    return static_cast<int>(ns / GST_MSECOND);
}

}  // namespace

MediaDevice::MediaDevice() = default;

MediaDevice::~MediaDevice() {
    teardown();
}

void MediaDevice::requireOpen() const {
    if (!m_open) throw MediaDeviceError(kNoDeviceText);
}

void MediaDevice::fail(std::uint32_t code, std::string text) {
    m_lastError = code;
    m_errorText = std::move(text);
}

std::string MediaDevice::errorText() const {
    if (m_lastError == kMediaOk) return {};
    return m_errorText.empty() ? std::string(kUnknownErrorText) : m_errorText;
}

void MediaDevice::open(const std::string& fileName) {
    close();
    m_fileName = fileName;
    m_lastError = kMediaOk;
    m_errorText.clear();
    if (!initGStreamer()) {
        fail(kMediaCannotLoadDriver, {});
        throw MediaDeviceError(errorText());
    }

    std::string midiData;
    std::optional<MidiTempoMap> midiMap;
    if (looksLikeMidi(readStart(fileName, 12))) {
        midiData = readStart(fileName, kMaxMidiBytes);
        midiMap = parseMidiTempoMap(midiData);
        if (!midiMap) {
            fail(kMediaInvalidFile, kBrokenMidiText);
            throw MediaDeviceError(errorText());
        }
        midiData = std::string(standardMidiData(midiData));
    }

    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kOpenTimeoutMs);
    auto attempt = [&](bool fakeSink) {
        teardown();
        if (midiMap) {
            std::string problem;
            m_midi = MidiSource::create(midiData, *midiMap, problem);
            if (!m_midi) {
                m_pipelineError = kMediaCannotLoadDriver;
                m_pipelineErrorText = problem;
                return false;
            }
            m_midiLength = midiMap->lengthMs();
        }
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        return tryOpen(fakeSink, std::max(static_cast<int>(left.count()), 1));
    };
    bool opened = attempt(false);
    // An audio output that refuses to work must not cost the song its music:
    // it plays on, in time, through a silent sink.
    if (!opened && m_sinkFailed && !isTimeKeepingFakeSink(m_sink)) opened = attempt(true);
    if (!opened) {
        fail(m_pipelineError == kMediaOk ? kMediaInternal : m_pipelineError, m_pipelineErrorText);
        teardown();
        throw MediaDeviceError(errorText());
    }
    m_open = true;
    m_state = State::Stopped;
    refreshLength();
    if (m_length < 0) {
        // An MPEG stream without a length header: GStreamer estimates its
        // length only while it plays, so the end of the stream tells it.
        m_lengthKnownAtEnd = true;
        std::error_code ec;
        std::uintmax_t size = std::filesystem::file_size(fileName, ec);
        if (!ec) {
            // The frames to count start after the ID3v2 tag, however large.
            std::uint64_t tag = id3v2TagBytes(readStart(fileName, 10));
            std::streamsize head =
                static_cast<std::streamsize>(std::min<std::uint64_t>(tag, size)) + kMpegHeadBytes;
            std::optional<int> ms = estimateMpegAudioLengthMs(readStart(fileName, head), size);
            if (ms && *ms > 0) {
                m_length = *ms;
                m_lengthEstimated = true;
            }
        }
    }
}

bool MediaDevice::tryOpen(bool fakeSink, int timeoutMs) {
    m_pipeline = gst_element_factory_make("playbin", nullptr);
    if (!m_pipeline) {
        m_pipelineError = kMediaCannotLoadDriver;
        return false;
    }
    gst_object_ref_sink(m_pipeline);
    m_sink = fakeSink ? makeTimeKeepingFakeSink() : makeAudioSink();
    gst_object_ref_sink(m_sink);
    g_object_set(m_pipeline, "audio-sink", m_sink, "flags", kPlayFlagAudio | kPlayFlagSoftVolume,
                 nullptr);
    if (m_midi) {
        g_signal_connect(m_pipeline, "source-setup", G_CALLBACK(&MediaDevice::onSourceSetup), this);
        g_object_set(m_pipeline, "uri", "appsrc://", nullptr);
    } else {
        GError* error = nullptr;
        gchar* uri = gst_filename_to_uri(m_fileName.c_str(), &error);
        if (!uri) {
            m_pipelineError = kMediaFileNotFound;
            if (error) m_pipelineErrorText = error->message;
            if (error) g_error_free(error);
            return false;
        }
        g_object_set(m_pipeline, "uri", uri, nullptr);
        g_free(uri);
    }
    m_bus = gst_element_get_bus(m_pipeline);
    m_asyncDone = false;
    if (!waitForPreroll(gst_element_set_state(m_pipeline, GST_STATE_PAUSED), timeoutMs))
        return false;
    m_clockSink = innermostSink(m_sink);
    m_positionQuery = gst_query_new_position(GST_FORMAT_TIME);
    return true;
}

void MediaDevice::onSourceSetup(GstElement*, GstElement* source, gpointer self) {
    auto* device = static_cast<MediaDevice*>(self);
    if (device->m_midi && GST_IS_APP_SRC(source)) device->m_midi->attach(source);
}

void MediaDevice::teardown() {
    if (m_pipeline) gst_element_set_state(m_pipeline, GST_STATE_NULL);
    if (m_positionQuery) gst_query_unref(m_positionQuery);
    if (m_clockSink) gst_object_unref(m_clockSink);
    if (m_bus) gst_object_unref(m_bus);
    if (m_sink) gst_object_unref(m_sink);
    if (m_pipeline) gst_object_unref(m_pipeline);
    m_positionQuery = nullptr;
    m_clockSink = nullptr;
    m_bus = nullptr;
    m_sink = nullptr;
    m_pipeline = nullptr;
    // Only now that no streaming thread can call into it.
    m_midi.reset();
    m_open = false;
    m_failed = false;
    m_sinkFailed = false;
    m_pipelineError = kMediaOk;
    m_pipelineErrorText.clear();
    m_atEnd = false;
    m_asyncDone = false;
    m_length = -1;
    m_lengthEstimated = false;
    m_lengthKnownAtEnd = false;
    m_lengthDirty = true;
    m_lastPosition = 0;
}

void MediaDevice::close() {
    if (m_open) m_lastError = kMediaOk;
    teardown();
    m_state = State::Stopped;
    m_startPosition.reset();
}

void MediaDevice::handleMessage(GstMessage* msg) {
    switch (GST_MESSAGE_TYPE(msg)) {
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(msg, &error, nullptr);
            GstObject* src = GST_MESSAGE_SRC(msg);
            bool fromSink =
                m_sink && src &&
                (src == GST_OBJECT(m_sink) || gst_object_has_as_ancestor(src, GST_OBJECT(m_sink)));
            if (!m_failed) {
                m_failed = true;
                m_sinkFailed = fromSink;
                m_pipelineError = fromSink ? kMediaHardware : errorCodeFor(error);
                m_pipelineErrorText = error && error->message ? error->message : "";
            }
            if (error) g_error_free(error);
            // A stream that breaks while it plays has ended: the song moves
            // on instead of standing still before its end for ever.
            if (m_open) {
                m_atEnd = true;
                fail(m_pipelineError, m_pipelineErrorText);
            }
            break;
        }
        case GST_MESSAGE_EOS:
            m_atEnd = true;
            if (m_lengthKnownAtEnd || m_length < 0) {
                gint64 ns = -1;
                if (m_clockSink && gst_element_query_position(m_clockSink, GST_FORMAT_TIME, &ns) &&
                    ns > 0) {
                    m_length = toMs(ns);
                    m_lengthEstimated = false;
                    m_lengthKnownAtEnd = false;
                    m_lengthDirty = false;
                }
            }
            break;
        case GST_MESSAGE_ASYNC_DONE:
            m_asyncDone = true;
            break;
        case GST_MESSAGE_DURATION_CHANGED:
            m_lengthDirty = true;
            break;
        default:
            break;
    }
}

void MediaDevice::pollBus() {
    if (!m_bus) return;
    while (GstMessage* msg = gst_bus_pop(m_bus)) {
        handleMessage(msg);
        gst_message_unref(msg);
    }
}

bool MediaDevice::waitForPreroll(GstStateChangeReturn change, int timeoutMs) {
    if (change == GST_STATE_CHANGE_FAILURE) {
        pollBus();
        m_failed = true;
        return false;
    }
    if (change != GST_STATE_CHANGE_ASYNC) {
        pollBus();
        return !m_failed;
    }
    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    const auto types = static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE |
                                                   GST_MESSAGE_EOS | GST_MESSAGE_DURATION_CHANGED);
    while (!m_asyncDone && !m_failed) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            m_failed = true;
            m_pipelineError = kMediaNotReady;
            m_pipelineErrorText.clear();
            return false;
        }
        if (GstMessage* msg = gst_bus_timed_pop_filtered(m_bus, left.count(), types)) {
            handleMessage(msg);
            gst_message_unref(msg);
        }
    }
    return !m_failed;
}

bool MediaDevice::enterPaused() {
    GstStateChangeReturn change = gst_element_set_state(m_pipeline, GST_STATE_PAUSED);
    if (change == GST_STATE_CHANGE_ASYNC)
        change = gst_element_get_state(m_pipeline, nullptr, nullptr, kStateTimeoutMs * GST_MSECOND);
    // Whatever that change posted is old news for the next wait.
    pollBus();
    return change != GST_STATE_CHANGE_FAILURE;
}

bool MediaDevice::seekTo(int ms) {
    enterPaused();
    m_failed = false;
    m_asyncDone = false;
    auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    if (!gst_element_seek_simple(m_pipeline, GST_FORMAT_TIME, flags, gint64(ms) * GST_MSECOND)) {
        fail(kMediaInternal, {});
        return false;
    }
    if (!waitForPreroll(GST_STATE_CHANGE_ASYNC, kSeekTimeoutMs)) {
        fail(m_pipelineError, m_pipelineErrorText);
        return false;
    }
    m_atEnd = false;
    m_lastPosition = ms;
    return true;
}

void MediaDevice::refreshLength() {
    if (m_midi) {
        m_length = m_midiLength;
        m_lengthDirty = false;
        return;
    }
    // An estimate stands until the end of the stream shows the true length.
    if (m_lengthEstimated) return;
    gint64 ns = -1;
    if (gst_element_query_duration(m_pipeline, GST_FORMAT_TIME, &ns) && ns > 0) {
        m_length = toMs(ns);
        m_lengthDirty = false;
    }
}

void MediaDevice::setTimeFormatMilliseconds() {
    m_lastError = kMediaOk;
}

int MediaDevice::length() {
    requireOpen();
    pollBus();
    m_lastError = kMediaOk;
    if (m_lengthDirty || m_length < 0) refreshLength();
    return std::max(m_length, 0);
}

int MediaDevice::position() {
    if (!m_open) {
        fail(kMediaInvalidDevice, kNoDeviceText);
        return 0;
    }
    pollBus();
    m_lastError = kMediaOk;
    if (m_atEnd) return length();
    if (gst_element_query(m_clockSink, m_positionQuery)) {
        gint64 ns = -1;
        gst_query_parse_position(m_positionQuery, nullptr, &ns);
        if (ns >= 0) m_lastPosition = toMs(ns);
    }
    return m_lastPosition;
}

int MediaDevice::mode() {
    if (!m_open) {
        fail(kMediaInvalidDevice, kNoDeviceText);
        return kModeNotReady;
    }
    pollBus();
    m_lastError = kMediaOk;
    if (m_atEnd && m_state == State::Playing) m_state = State::Stopped;
    switch (m_state) {
        case State::Stopped:
            return kModeStopped;
        case State::Paused:
            return kModePaused;
        case State::Playing:
            break;
    }
    // Until the output really runs the device is getting ready, so that a
    // caller waiting for playback starts its clock with the music.
    GstState current = GST_STATE_VOID_PENDING;
    gst_element_get_state(m_pipeline, &current, nullptr, 0);
    return current == GST_STATE_PLAYING ? kModePlaying : kModeNotReady;
}

void MediaDevice::play() {
    requireOpen();
    pollBus();
    m_lastError = kMediaOk;
    std::optional<int> from = m_startPosition;
    m_startPosition.reset();
    if (!from && position() == length()) from = 0;
    if (from) {
        if (*from < 0 || *from > length()) {
            fail(kMediaOutOfRange, {});
            return;
        }
        if (!seekTo(*from)) return;
    }
    if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        pollBus();
        fail(m_pipelineError == kMediaOk ? kMediaHardware : m_pipelineError, m_pipelineErrorText);
        return;
    }
    m_state = State::Playing;
}

void MediaDevice::stop() {
    requireOpen();
    pollBus();
    m_lastError = kMediaOk;
    enterPaused();
    m_state = State::Stopped;
}

void MediaDevice::pauseToggle() {
    requireOpen();
    int now = mode();
    if (now == kModePlaying) {
        enterPaused();
        m_state = State::Paused;
    } else if (now == kModePaused) {
        if (gst_element_set_state(m_pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
            play();
        else
            m_state = State::Playing;
    }
}

void MediaDevice::seek(int ms) {
    requireOpen();
    pollBus();
    m_lastError = kMediaOk;
    if (ms < 0 || ms > length()) {
        fail(kMediaOutOfRange, {});
        return;
    }
    if (seekTo(ms)) m_state = State::Stopped;
}

void MediaDevice::setStartPosition(int ms) {
    m_startPosition = ms;
}

}  // namespace orba
