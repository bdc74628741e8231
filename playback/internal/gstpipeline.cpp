#include "playback/internal/gstpipeline.h"

#include <gst/app/gstappsrc.h>
#include <gst/audio/audio.h>
#include <gst/pbutils/pbutils.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/mixer.h"
#include "playback/mediadevice.h"
#include "playback/midisource.h"

namespace orba {

namespace {

constexpr const char* kFakeSinkName = "orba-fake-audio-sink";

void feedMidi(GstAppSrc* src, guint, gpointer data) {
    auto* midi = static_cast<MidiSource*>(data);
    constexpr std::size_t kBlockFrames = 1024;
    constexpr int kChannels = MidiSource::kChannels;
    constexpr int kRate = MidiSource::kSampleRate;
    GstBuffer* buffer =
        gst_buffer_new_allocate(nullptr, kBlockFrames * kChannels * sizeof(float), nullptr);
    GstMapInfo map;
    gst_buffer_map(buffer, &map, GST_MAP_WRITE);
    std::uint64_t first = 0;
    std::size_t frames = midi->render(reinterpret_cast<float*>(map.data), kBlockFrames, first);
    gst_buffer_unmap(buffer, &map);
    if (frames == 0) {
        gst_buffer_unref(buffer);
        gst_app_src_end_of_stream(src);
        return;
    }
    gst_buffer_set_size(buffer, static_cast<gssize>(frames * kChannels * sizeof(float)));
    GST_BUFFER_PTS(buffer) = gst_util_uint64_scale_int(first, GST_SECOND, kRate);
    GST_BUFFER_DURATION(buffer) =
        gst_util_uint64_scale_int(first + frames, GST_SECOND, kRate) - GST_BUFFER_PTS(buffer);
    GST_BUFFER_OFFSET(buffer) = first;
    GST_BUFFER_OFFSET_END(buffer) = first + frames;
    gst_app_src_push_buffer(src, buffer);
}

gboolean seekMidi(GstAppSrc*, guint64 offset, gpointer data) {
    auto* midi = static_cast<MidiSource*>(data);
    return midi->seekToSample(
        gst_util_uint64_scale_int(offset, MidiSource::kSampleRate, GST_SECOND));
}

// playbin's own audio queue holds a second; this is a few blocks.
constexpr guint64 kMidiQueueNs = 30 * GST_MSECOND;

void shortenQueue(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (!factory || std::strcmp(GST_OBJECT_NAME(factory), "queue") != 0) return;
    g_object_set(element, "max-size-time", kMidiQueueNs, "max-size-buffers", 0u, "max-size-bytes",
                 0u, nullptr);
}

// The sound card's own buffer is the last delay before a singer's change is
// heard; the usual 200 ms would make a key change late by that much.
constexpr gint64 kOutputBufferUs = 100000;

void shortenOutputBuffer(GstBin*, GstElement* element, gpointer) {
    if (g_object_class_find_property(G_OBJECT_GET_CLASS(element), "buffer-time"))
        g_object_set(element, "buffer-time", kOutputBufferUs, nullptr);
}

// decodebin's answers to autoplug-select (GstAutoplugSelectResult).
constexpr int kAutoplugTry = 0;
constexpr int kAutoplugExpose = 1;

int leavePicturesEncoded(GstElement*, GstPad*, GstCaps*, GstElementFactory* factory, gpointer) {
    const bool pictures = gst_element_factory_list_is_type(
        factory, GST_ELEMENT_FACTORY_TYPE_DECODER | GST_ELEMENT_FACTORY_TYPE_MEDIA_VIDEO);
    const bool still = gst_element_factory_list_is_type(
        factory, GST_ELEMENT_FACTORY_TYPE_DECODER | GST_ELEMENT_FACTORY_TYPE_MEDIA_IMAGE);
    return pictures || still ? kAutoplugExpose : kAutoplugTry;
}

void onDecodeBinAdded(GstBin*, GstBin*, GstElement* element, gpointer) {
    GstElementFactory* factory = gst_element_get_factory(element);
    if (factory && std::strcmp(GST_OBJECT_NAME(factory), "decodebin") == 0)
        g_signal_connect(element, "autoplug-select", G_CALLBACK(&leavePicturesEncoded), nullptr);
}

}  // namespace

void leavePicturesUndecoded(GstElement* playbin) {
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&onDecodeBinAdded), nullptr);
}

void shortenQueuesForMidi(GstElement* playbin) {
    g_signal_connect(playbin, "deep-element-added", G_CALLBACK(&shortenQueue), nullptr);
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

void warnOnce(bool& said, const std::string& text) {
    if (said) return;
    said = true;
    std::fprintf(stderr, "orbakaraoke: %s\n", text.c_str());
}

GstElement* makeTimeKeepingFakeSink() {
    GstElement* sink = gst_element_factory_make("fakesink", kFakeSinkName);
    g_object_set(sink, "sync", TRUE, nullptr);
    return sink;
}

bool isTimeKeepingFakeSink(GstElement* sink) {
    gchar* name = gst_object_get_name(GST_OBJECT(sink));
    bool fake = name && std::strcmp(name, kFakeSinkName) == 0;
    g_free(name);
    return fake;
}

GstElement* makeAudioSink() {
    const char* description = std::getenv("ORBAKARAOKE_AUDIO_SINK");
    if (description && *description) {
        GError* error = nullptr;
        GstElement* sink = gst_parse_bin_from_description_full(
            description, TRUE, nullptr,
            static_cast<GstParseFlags>(GST_PARSE_FLAG_NO_SINGLE_ELEMENT_BINS |
                                       GST_PARSE_FLAG_FATAL_ERRORS),
            &error);
        std::string reason = error && error->message ? error->message : "";
        if (error) g_error_free(error);
        if (sink) return sink;
        static bool said = false;
        warnOnce(said, std::string("ORBAKARAOKE_AUDIO_SINK \"") + description +
                           "\" cannot be used (" + reason + "); using the default audio output");
    }
    quietSoundLibraryDiagnostics();
    if (GstElement* sink = gst_element_factory_make("autoaudiosink", nullptr)) {
        g_signal_connect(sink, "element-added", G_CALLBACK(&shortenOutputBuffer), nullptr);
        return sink;
    }
    return makeTimeKeepingFakeSink();
}

void attachMidi(GstElement* appsrc, MidiSource* midi) {
    if (!GST_IS_APP_SRC(appsrc)) return;
    GstCaps* caps = gst_caps_new_simple("audio/x-raw", "format", G_TYPE_STRING, GST_AUDIO_NE(F32),
                                        "layout", G_TYPE_STRING, "interleaved", "rate", G_TYPE_INT,
                                        MidiSource::kSampleRate, "channels", G_TYPE_INT,
                                        MidiSource::kChannels, nullptr);
    g_object_set(appsrc, "caps", caps, "format", GST_FORMAT_TIME, "stream-type",
                 GST_APP_STREAM_TYPE_SEEKABLE, "is-live", FALSE, nullptr);
    gst_caps_unref(caps);
    gst_app_src_set_duration(
        GST_APP_SRC(appsrc),
        gst_util_uint64_scale_int(midi->endSample(), GST_SECOND, MidiSource::kSampleRate));
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = &feedMidi;
    callbacks.seek_data = &seekMidi;
    gst_app_src_set_callbacks(GST_APP_SRC(appsrc), &callbacks, midi, nullptr);
}

namespace {

constexpr std::size_t kMemoryBlockBytes = 64 * 1024;

void feedMemory(GstAppSrc* src, guint, gpointer data) {
    auto* music = static_cast<MemoryMusic*>(data);
    const std::string& bytes = *music->bytes;
    if (music->offset >= bytes.size()) {
        gst_app_src_end_of_stream(src);
        return;
    }
    const std::size_t n = std::min<std::size_t>(kMemoryBlockBytes, bytes.size() - music->offset);
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, n, nullptr);
    gst_buffer_fill(buffer, 0, bytes.data() + music->offset, n);
    GST_BUFFER_OFFSET(buffer) = music->offset;
    music->offset += n;
    gst_app_src_push_buffer(src, buffer);
}

gboolean seekMemory(GstAppSrc*, guint64 offset, gpointer data) {
    auto* music = static_cast<MemoryMusic*>(data);
    if (offset > music->bytes->size()) return FALSE;
    music->offset = offset;
    return TRUE;
}

}  // namespace

void attachMemoryMusic(GstElement* appsrc, MemoryMusic* music) {
    if (!GST_IS_APP_SRC(appsrc)) return;
    g_object_set(appsrc, "stream-type", GST_APP_STREAM_TYPE_RANDOM_ACCESS, "format",
                 GST_FORMAT_BYTES, "size", static_cast<gint64>(music->bytes->size()), nullptr);
    GstAppSrcCallbacks callbacks = {};
    callbacks.need_data = &feedMemory;
    callbacks.seek_data = &seekMemory;
    gst_app_src_set_callbacks(GST_APP_SRC(appsrc), &callbacks, music, nullptr);
}

bool noteMissingPlugin(GstMessage* msg, std::string& missing) {
    if (!gst_is_missing_plugin_message(msg)) return false;
    gchar* what = gst_missing_plugin_message_get_description(msg);
    if (what && missing.find(what) == std::string::npos)
        missing += (missing.empty() ? "" : ", ") + std::string(what);
    g_free(what);
    return true;
}

}  // namespace orba
