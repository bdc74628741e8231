#include "playback/mediadevice.h"

#include <gst/gst.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <iterator>
#include <new>
#include <optional>
#include <utility>

#include "platform/files.h"
#include "playback/internal/audiochain.h"
#include "playback/gstreamer.h"
#include "playback/internal/gstpipeline.h"
#include "playback/midisource.h"
#include "platform/miditempomap.h"
#include "platform/zipsong.h"
#include "playback/mpegaudiolength.h"
#include "settings/singervalues.h"

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
// Enough frames to average the bitrate of a stream over its first minute.
constexpr std::size_t kMpegHeadBytes = 1 << 20;
constexpr unsigned kPlayFlagAudio = 0x02;
constexpr unsigned kPlayFlagSoftVolume = 0x10;

const char* const kBrokenMidiText = "MIDI ファイルの形式が正しくありません";
const char* const kNotAFileText = "通常のファイルではありません";
const char* const kNoSoundText = "the file has pictures but no sound to play";

int toMs(gint64 ns) {
    return static_cast<int>(ns / GST_MSECOND);
}

struct GstObjectUnref {
    void operator()(gpointer object) const { gst_object_unref(object); }
};
struct GstQueryUnref {
    void operator()(GstQuery* query) const { gst_query_unref(query); }
};
template <class T>
using GstPtr = std::unique_ptr<T, GstObjectUnref>;

}  // namespace

struct MediaDevice::Impl {
    enum class State { Stopped, Playing, Paused };

    ~Impl() { teardown(); }

    void openFile(const std::string& fileName);
    void requireOpen() const;
    bool tryOpen(bool fakeSink, int timeoutMs);
    void teardown();
    void fail(std::uint32_t code, std::string text);
    void pollBus();
    void handleMessage(GstMessage* msg);
    bool waitForPreroll(GstStateChangeReturn change, int timeoutMs);
    bool seekTo(int ms);
    void applySinger();
    int songMs(gint64 outputNs) const;
    bool enterPaused();
    void refreshLength();
    std::string errorText() const;
    // Puts what the user can act on into the error of an open that failed.
    void explainFailure(GstElement* playbin);
    static void onSourceSetup(GstElement* playbin, GstElement* source, gpointer self);

    std::string m_fileName;
    bool m_open = false;
    State m_state = State::Stopped;
    std::uint32_t m_lastError = kMediaOk;
    std::string m_errorText;
    std::string m_playbackError;
    std::optional<int> m_startPosition;

    GstPtr<GstElement> m_pipeline;
    GstPtr<GstElement> m_sink;       // the sink given to the pipeline
    GstPtr<GstElement> m_clockSink;  // the element that answers position queries
    GstPtr<GstBus> m_bus;
    std::unique_ptr<GstQuery, GstQueryUnref> m_positionQuery;
    std::unique_ptr<MidiSource> m_midi;
    int m_midiLength = 0;
    // The music of a song zip, read into memory when it opens.
    std::shared_ptr<const std::string> m_memory;
    std::unique_ptr<MemoryMusic> m_memoryFeed;
    // After the pipeline, which calls into it until it stops.
    std::unique_ptr<AudioChain> m_chain;
    int m_key = 0;
    int m_tempo = 100;
    bool m_vocalCut = false;
    int m_melodyMute = 0;

    int m_length = -1;                // -1: not known yet
    bool m_lengthEstimated = false;   // from the first frames of an MPEG stream
    bool m_lengthKnownAtEnd = false;  // not in the file's headers: the end of the stream tells it
    bool m_lengthDirty = true;
    int m_lastPosition = 0;
    bool m_atEnd = false;
    bool m_asyncDone = false;
    bool m_failed = false;
    bool m_sinkFailed = false;
    std::uint32_t m_pipelineError = kMediaOk;
    std::string m_pipelineErrorText;
    // The decoders GStreamer looked for and lacks, as it describes them.
    std::string m_missingPlugins;
};

MediaDevice::MediaDevice() : m_impl(std::make_unique<Impl>()) {}
MediaDevice::~MediaDevice() = default;

std::uint32_t MediaDevice::lastError() const {
    return m_impl->m_lastError;
}
std::string MediaDevice::takePlaybackError() {
    m_impl->pollBus();
    return std::exchange(m_impl->m_playbackError, {});
}
bool MediaDevice::isOpen() const {
    return m_impl->m_open;
}
bool MediaDevice::playsMidi() const {
    return m_impl->m_midi != nullptr;
}

void MediaDevice::Impl::requireOpen() const {
    if (!m_open) throw MediaDeviceError(kNoDeviceText);
}

void MediaDevice::Impl::fail(std::uint32_t code, std::string text) {
    m_lastError = code;
    m_errorText = std::move(text);
}

std::string MediaDevice::Impl::errorText() const {
    if (m_lastError == kMediaOk) return {};
    return m_errorText.empty() ? std::string(kUnknownErrorText) : m_errorText;
}

std::string MediaDevice::errorText() const {
    return m_impl->errorText();
}

// Whatever goes wrong while a song opens, a reader tripping over a hostile
// file included, ends as the device's error: the song plays without music
// instead of taking the player down.
void MediaDevice::open(const std::string& fileName) {
    close();
    Impl& d = *m_impl;
    try {
        d.openFile(fileName);
    } catch (const MediaDeviceError&) {
        throw;
    } catch (const std::bad_alloc&) {
        // Running out of memory is not something the file did.
        d.teardown();
        throw;
    } catch (const std::exception&) {
        d.teardown();
        if (d.m_lastError == kMediaOk) d.fail(kMediaInternal, {});
        throw MediaDeviceError(errorText());
    }
}

void MediaDevice::Impl::openFile(const std::string& fileName) {
    m_fileName = fileName;
    m_lastError = kMediaOk;
    m_errorText.clear();
    // A pipe or a device under a music name would be read without end, and
    // its first reader (the MIDI check) would wait for good.
    if (fileOrFolderExists(fileName) && !isRegularFile(fileName)) {
        fail(kMediaInvalidFile, kNotAFileText);
        throw MediaDeviceError(errorText());
    }
    if (!initGStreamer()) {
        fail(kMediaCannotLoadDriver, {});
        throw MediaDeviceError(errorText());
    }

    std::string midiData;
    std::optional<MidiTempoMap> midiMap;
    if (playsAsMidi(fileName)) {
        fail(kMediaInvalidFile, kBrokenMidiText);  // until the file proves readable
        midiData = readFileStart(fileName, kMaxMidiBytes);
        midiMap = parseMidiTempoMap(midiData);
        if (!midiMap) throw MediaDeviceError(errorText());
        midiData = std::string(standardMidiData(midiData));
        m_lastError = kMediaOk;
        m_errorText.clear();
    }

    m_memory.reset();
    if (hasZipExtension(fileName)) {
        const ZipSongEntries entries = lookInZip(fileName);
        std::string why = entries.problem;
        std::optional<std::string> bytes;
        if (why.empty()) bytes = readZipEntry(fileName, entries.music, kZipSongMaxBytes, &why);
        if (!bytes) {
            fail(kMediaInvalidFile, fileNamePart(fileName) + ": " + why);
            throw MediaDeviceError(errorText());
        }
        m_memory = std::make_shared<const std::string>(std::move(*bytes));
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
    if (!opened && m_sinkFailed && !isTimeKeepingFakeSink(m_sink.get())) {
        static bool said = false;
        warnOnce(said, "the audio output failed (" + m_pipelineErrorText +
                           "); playing through a silent sink");
        opened = attempt(true);
    }
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
        const std::uintmax_t size =
            m_memory ? m_memory->size() : std::filesystem::file_size(fileName, ec);
        auto start = [&](std::size_t n) {
            return m_memory ? m_memory->substr(0, n) : readFileStart(fileName, n);
        };
        if (!ec) {
            // The frames to count start after the ID3v2 tag, however large.
            std::uint64_t tag = id3v2TagBytes(start(10));
            const std::size_t head =
                static_cast<std::size_t>(std::min<std::uint64_t>(tag, size)) + kMpegHeadBytes;
            std::optional<int> ms = estimateMpegAudioLengthMs(start(head), size);
            if (ms && *ms > 0) {
                m_length = *ms;
                m_lengthEstimated = true;
            }
        }
    }
}

bool MediaDevice::Impl::tryOpen(bool fakeSink, int timeoutMs) {
    GstElement* playbin = gst_element_factory_make("playbin", nullptr);
    if (!playbin) {
        m_pipelineError = kMediaCannotLoadDriver;
        return false;
    }
    m_pipeline.reset(GST_ELEMENT(gst_object_ref_sink(playbin)));
    GstElement* sink = fakeSink ? makeTimeKeepingFakeSink() : makeAudioSink();
    m_sink.reset(GST_ELEMENT(gst_object_ref_sink(sink)));
    m_chain = std::make_unique<AudioChain>();
    applySinger();
    GstElement* output = m_chain->build(sink);
    if (!output) {
        // Without its plugins the singer's controls are gone, not the music.
        static bool said = false;
        warnOnce(said, "key, tempo and vocal cut are not available: a GStreamer plugin is missing");
        m_chain.reset();
        output = sink;
    }
    // A music file may carry a picture track (an Ogg with Theora, an MP4
    // named .mp3). Even with the video flag off, playbin builds a video sink
    // for it, and the automatic choice may be one that crashes on its own
    // thread without a display of its kind; a silent sink is never that.
    GstElement* noVideo = gst_element_factory_make("fakesink", nullptr);
    if (noVideo) g_object_set(noVideo, "sync", FALSE, "async", FALSE, nullptr);
    g_object_set(playbin, "audio-sink", output, "flags", kPlayFlagAudio | kPlayFlagSoftVolume,
                 nullptr);
    if (noVideo) g_object_set(playbin, "video-sink", noVideo, nullptr);
    leavePicturesUndecoded(playbin);
    if (m_midi) {
        g_signal_connect(playbin, "source-setup", G_CALLBACK(&Impl::onSourceSetup), this);
        shortenQueuesForMidi(playbin);
        g_object_set(playbin, "uri", "appsrc://", nullptr);
    } else if (m_memory) {
        m_memoryFeed = std::make_unique<MemoryMusic>(MemoryMusic{m_memory, 0});
        g_signal_connect(playbin, "source-setup", G_CALLBACK(&Impl::onSourceSetup), this);
        g_object_set(playbin, "uri", "appsrc://", nullptr);
    } else {
        GError* error = nullptr;
        gchar* uri = gst_filename_to_uri(m_fileName.c_str(), &error);
        if (!uri) {
            m_pipelineError = kMediaFileNotFound;
            if (error) m_pipelineErrorText = error->message;
            if (error) g_error_free(error);
            return false;
        }
        g_object_set(playbin, "uri", uri, nullptr);
        g_free(uri);
    }
    m_bus.reset(gst_element_get_bus(playbin));
    m_asyncDone = false;
    if (!waitForPreroll(gst_element_set_state(playbin, GST_STATE_PAUSED), timeoutMs)) {
        explainFailure(playbin);
        return false;
    }
    m_clockSink.reset(innermostSink(sink));
    m_positionQuery.reset(gst_query_new_position(GST_FORMAT_TIME));
    return true;
}

void MediaDevice::Impl::explainFailure(GstElement* playbin) {
    pollBus();
    // GStreamer's own words for these name neither the plugin nor the
    // missing stream; the user needs both.
    if (!m_missingPlugins.empty()) {
        m_pipelineErrorText = "a GStreamer plugin is missing: " + m_missingPlugins;
        return;
    }
    gint audio = 0, video = 0;
    g_object_get(playbin, "n-audio", &audio, "n-video", &video, nullptr);
    if (audio == 0 && video > 0) m_pipelineErrorText = kNoSoundText;
}

void MediaDevice::Impl::onSourceSetup(GstElement*, GstElement* source, gpointer self) {
    auto* device = static_cast<Impl*>(self);
    if (device->m_midi) attachMidi(source, device->m_midi.get());
    if (device->m_memoryFeed) attachMemoryMusic(source, device->m_memoryFeed.get());
}

void MediaDevice::Impl::teardown() {
    if (m_pipeline) gst_element_set_state(m_pipeline.get(), GST_STATE_NULL);
    m_positionQuery.reset();
    m_clockSink.reset();
    m_bus.reset();
    m_sink.reset();
    m_pipeline.reset();
    // Only now that no streaming thread can call into them.
    m_midi.reset();
    m_memoryFeed.reset();
    m_chain.reset();
    m_open = false;
    m_failed = false;
    m_sinkFailed = false;
    m_pipelineError = kMediaOk;
    m_pipelineErrorText.clear();
    m_missingPlugins.clear();
    m_atEnd = false;
    m_asyncDone = false;
    m_length = -1;
    m_lengthEstimated = false;
    m_lengthKnownAtEnd = false;
    m_lengthDirty = true;
    m_lastPosition = 0;
}

void MediaDevice::close() {
    Impl& d = *m_impl;
    if (d.m_open) d.m_lastError = kMediaOk;
    d.teardown();
    d.m_memory.reset();
    d.m_state = Impl::State::Stopped;
    d.m_startPosition.reset();
}

void MediaDevice::Impl::handleMessage(GstMessage* msg) {
    switch (GST_MESSAGE_TYPE(msg)) {
        case GST_MESSAGE_ERROR: {
            GError* error = nullptr;
            gst_message_parse_error(msg, &error, nullptr);
            GstObject* src = GST_MESSAGE_SRC(msg);
            bool fromSink = m_sink && src &&
                            (src == GST_OBJECT(m_sink.get()) ||
                             gst_object_has_as_ancestor(src, GST_OBJECT(m_sink.get())));
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
                m_playbackError = errorText();
            }
            break;
        }
        case GST_MESSAGE_EOS:
            m_atEnd = true;
            if (m_lengthKnownAtEnd || m_length < 0) {
                gint64 ns = -1;
                if (m_clockSink &&
                    gst_element_query_position(m_clockSink.get(), GST_FORMAT_TIME, &ns) && ns > 0) {
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
        case GST_MESSAGE_ELEMENT:
            noteMissingPlugin(msg, m_missingPlugins);
            break;
        case GST_MESSAGE_DURATION_CHANGED:
            m_lengthDirty = true;
            break;
        default:
            break;
    }
}

void MediaDevice::Impl::pollBus() {
    if (!m_bus) return;
    while (GstMessage* msg = gst_bus_pop(m_bus.get())) {
        handleMessage(msg);
        gst_message_unref(msg);
    }
}

bool MediaDevice::Impl::waitForPreroll(GstStateChangeReturn change, int timeoutMs) {
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
    const auto types =
        static_cast<GstMessageType>(GST_MESSAGE_ERROR | GST_MESSAGE_ASYNC_DONE | GST_MESSAGE_EOS |
                                    GST_MESSAGE_DURATION_CHANGED | GST_MESSAGE_ELEMENT);
    while (!m_asyncDone && !m_failed) {
        auto left = std::chrono::duration_cast<std::chrono::nanoseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            m_failed = true;
            m_pipelineError = kMediaNotReady;
            m_pipelineErrorText.clear();
            return false;
        }
        if (GstMessage* msg = gst_bus_timed_pop_filtered(m_bus.get(), left.count(), types)) {
            handleMessage(msg);
            gst_message_unref(msg);
        }
    }
    return !m_failed;
}

bool MediaDevice::Impl::enterPaused() {
    GstStateChangeReturn change = gst_element_set_state(m_pipeline.get(), GST_STATE_PAUSED);
    if (change == GST_STATE_CHANGE_ASYNC)
        change = gst_element_get_state(m_pipeline.get(), nullptr, nullptr,
                                       kStateTimeoutMs * GST_MSECOND);
    // Whatever that change posted is old news for the next wait.
    pollBus();
    return change != GST_STATE_CHANGE_FAILURE;
}

bool MediaDevice::Impl::seekTo(int ms) {
    enterPaused();
    m_failed = false;
    m_asyncDone = false;
    auto flags = static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE);
    // A recording plays on at the singer's tempo after the seek.
    const double rate = m_chain ? m_chain->rate() : 1.0;
    if (m_chain) m_chain->forgetHandedOn();
    if (!gst_element_seek(m_pipeline.get(), rate, GST_FORMAT_TIME, flags, GST_SEEK_TYPE_SET,
                          gint64(ms) * GST_MSECOND, GST_SEEK_TYPE_NONE, -1)) {
        fail(kMediaInternal, {});
        return false;
    }
    // A song that ends right where the seek lands says so while the seek
    // settles; that end must not be forgotten.
    m_atEnd = false;
    if (!waitForPreroll(GST_STATE_CHANGE_ASYNC, kSeekTimeoutMs)) {
        fail(m_pipelineError, m_pipelineErrorText);
        return false;
    }
    m_lastPosition = ms;
    return true;
}

void MediaDevice::Impl::refreshLength() {
    if (m_midi) {
        m_length = m_midiLength;
        m_lengthDirty = false;
        return;
    }
    // An estimate stands until the end of the stream shows the true length.
    if (m_lengthEstimated) return;
    gint64 ns = -1;
    if (gst_element_query_duration(m_pipeline.get(), GST_FORMAT_TIME, &ns) && ns > 0) {
        m_length = toMs(ns);
        m_lengthDirty = false;
    }
}

void MediaDevice::setTimeFormatMilliseconds() {
    m_impl->m_lastError = kMediaOk;
}

int MediaDevice::length() {
    Impl& d = *m_impl;
    d.requireOpen();
    d.pollBus();
    d.m_lastError = kMediaOk;
    if (d.m_lengthDirty || d.m_length < 0) d.refreshLength();
    return std::max(d.m_length, 0);
}

int MediaDevice::position() {
    Impl& d = *m_impl;
    if (!d.m_open) {
        d.fail(kMediaInvalidDevice, kNoDeviceText);
        return 0;
    }
    d.pollBus();
    d.m_lastError = kMediaOk;
    if (d.m_atEnd) return length();
    gint64 ns = -1;
    if (gst_element_query(d.m_clockSink.get(), d.m_positionQuery.get()))
        gst_query_parse_position(d.m_positionQuery.get(), nullptr, &ns);
    // A sink that records into a file keeps no time: the audio handed to it
    // tells how far the song has come.
    if (ns < 0 && d.m_chain) ns = d.m_chain->streamTimeHandedOn();
    if (ns >= 0) d.m_lastPosition = d.songMs(ns);
    return d.m_lastPosition;
}

int MediaDevice::mode() {
    Impl& d = *m_impl;
    if (!d.m_open) {
        d.fail(kMediaInvalidDevice, kNoDeviceText);
        return kModeNotReady;
    }
    d.pollBus();
    d.m_lastError = kMediaOk;
    if (d.m_atEnd && d.m_state == Impl::State::Playing) d.m_state = Impl::State::Stopped;
    switch (d.m_state) {
        case Impl::State::Stopped:
            return kModeStopped;
        case Impl::State::Paused:
            return kModePaused;
        case Impl::State::Playing:
            break;
    }
    // Until the output really runs the device is getting ready, so that a
    // caller waiting for playback starts its clock with the music.
    GstState current = GST_STATE_VOID_PENDING;
    gst_element_get_state(d.m_pipeline.get(), &current, nullptr, 0);
    return current == GST_STATE_PLAYING ? kModePlaying : kModeNotReady;
}

void MediaDevice::play() {
    Impl& d = *m_impl;
    d.requireOpen();
    d.pollBus();
    d.m_lastError = kMediaOk;
    std::optional<int> from = d.m_startPosition;
    d.m_startPosition.reset();
    if (!from && position() == length()) from = 0;
    if (from) {
        if (*from < 0 || *from > length()) {
            d.fail(kMediaOutOfRange, {});
            return;
        }
        if (!d.seekTo(*from)) return;
    }
    if (gst_element_set_state(d.m_pipeline.get(), GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE) {
        d.pollBus();
        d.fail(d.m_pipelineError == kMediaOk ? kMediaHardware : d.m_pipelineError,
               d.m_pipelineErrorText);
        return;
    }
    d.m_state = Impl::State::Playing;
}

void MediaDevice::stop() {
    Impl& d = *m_impl;
    d.requireOpen();
    d.pollBus();
    d.m_lastError = kMediaOk;
    d.enterPaused();
    d.m_state = Impl::State::Stopped;
}

void MediaDevice::pauseToggle() {
    Impl& d = *m_impl;
    d.requireOpen();
    int now = mode();
    if (now == kModePlaying) {
        d.enterPaused();
        d.m_state = Impl::State::Paused;
    } else if (now == kModePaused) {
        if (gst_element_set_state(d.m_pipeline.get(), GST_STATE_PLAYING) ==
            GST_STATE_CHANGE_FAILURE)
            play();
        else
            d.m_state = Impl::State::Playing;
    }
}

void MediaDevice::seek(int ms) {
    Impl& d = *m_impl;
    d.requireOpen();
    d.pollBus();
    d.m_lastError = kMediaOk;
    if (ms < 0 || ms > length()) {
        d.fail(kMediaOutOfRange, {});
        return;
    }
    if (d.seekTo(ms)) d.m_state = Impl::State::Stopped;
}

void MediaDevice::pauseAt(int ms) {
    seek(ms);
    // Stopped and paused differ only in what the next pause toggle does:
    // the pipeline stands in PAUSED for both.
    Impl& d = *m_impl;
    if (d.m_lastError == kMediaOk) d.m_state = Impl::State::Paused;
}

void MediaDevice::setStartPosition(int ms) {
    m_impl->m_startPosition = ms;
}

// A MIDI song's output runs at the singer's tempo while its position is
// counted in the song's own time.
int MediaDevice::Impl::songMs(gint64 outputNs) const {
    if (!m_midi) return toMs(outputNs);
    const std::uint64_t out = gst_util_uint64_scale_int(static_cast<guint64>(outputNs),
                                                        MidiSource::kSampleRate, GST_SECOND);
    return static_cast<int>(
        gst_util_uint64_scale_int(m_midi->songSampleAt(out), 1000, MidiSource::kSampleRate));
}

// A MIDI song takes key, tempo and melody from the synthesizer, a recording
// from the audio chain; neither has the other's.
void MediaDevice::Impl::applySinger() {
    if (m_midi) {
        m_midi->setKey(m_key);
        m_midi->setTempo(m_tempo);
        m_midi->setMelodyMute(m_melodyMute);
        return;
    }
    if (!m_chain) return;
    m_chain->setKey(m_key);
    m_chain->setTempo(m_tempo / 100.0);
    m_chain->setVocalCut(m_vocalCut);
}

void MediaDevice::setKey(int semitones) {
    Impl& d = *m_impl;
    d.m_key = std::clamp(semitones, kKeyMin, kKeyMax);
    if (d.m_midi)
        d.m_midi->setKey(d.m_key);
    else if (d.m_chain)
        d.m_chain->setKey(d.m_key);
}

void MediaDevice::setTempo(int percent) {
    Impl& d = *m_impl;
    d.m_tempo = std::clamp(percent, kTempoMin, kTempoMax);
    if (d.m_midi)
        d.m_midi->setTempo(d.m_tempo);
    else if (d.m_chain)
        d.m_chain->setTempo(d.m_tempo / 100.0);
}

void MediaDevice::setVocalCut(bool on) {
    Impl& d = *m_impl;
    d.m_vocalCut = on;
    if (!d.m_midi && d.m_chain) d.m_chain->setVocalCut(on);
}

void MediaDevice::setMelodyMute(int channel) {
    Impl& d = *m_impl;
    d.m_melodyMute = std::clamp(channel, 0, kMelodyChannels);
    if (d.m_midi) d.m_midi->setMelodyMute(d.m_melodyMute);
}

}  // namespace orba
