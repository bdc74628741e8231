#include "tests/playback/mediafixtures.h"

#include <gst/gst.h>

#include <thread>

#include "playback/mediadevice.h"
#include "tests/support/midiwriter.h"
#include "tests/support/tempdir.h"

namespace orba::test {

namespace {

std::string encoderFor(const std::string& path, bool mp3Header) {
    auto endsWith = [&](const char* ext) {
        std::string e = ext;
        return path.size() >= e.size() && path.compare(path.size() - e.size(), e.size(), e) == 0;
    };
    if (endsWith(".wav")) return "wavenc";
    if (endsWith(".mp3")) return mp3Header ? "lamemp3enc ! xingmux" : "lamemp3enc";
    if (endsWith(".mp2")) return "twolamemp2enc";
    if (endsWith(".ogg")) return "vorbisenc ! oggmux";
    if (endsWith(".wma")) return "avenc_wmav2 bitrate=128000 ! asfmux";
    if (endsWith(".opus")) return "audioresample ! opusenc ! oggmux";
    if (endsWith(".flac")) return "flacenc";
    if (endsWith(".m4a")) return "avenc_aac ! mp4mux";
    return {};
}

// A pipeline from its description, its element named "file" reading or
// writing `path` (set as a property, so any characters may appear in it).
GstElement* launch(const std::string& description, const std::string& path) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(description.c_str(), &error);
    if (error) g_error_free(error);
    if (!pipeline) return nullptr;
    GstElement* file = gst_bin_get_by_name(GST_BIN(pipeline), "file");
    g_object_set(file, "location", path.c_str(), nullptr);
    gst_object_unref(file);
    return pipeline;
}

struct DecodedBytes {
    std::uint64_t bytes = 0;
};

GstPadProbeReturn countBytes(GstPad*, GstPadProbeInfo* info, gpointer data) {
    static_cast<DecodedBytes*>(data)->bytes += gst_buffer_get_size(GST_PAD_PROBE_INFO_BUFFER(info));
    return GST_PAD_PROBE_OK;
}

}  // namespace

bool runToEnd(GstElement* pipeline) {
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, 20 * GST_SECOND, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    return ok;
}

bool writeTone(const std::string& path, int ms, bool mp3Header) {
    gst_init(nullptr, nullptr);
    std::string encoder = encoderFor(path, mp3Header);
    if (encoder.empty()) return false;
    // 10 ms buffers of 44.1 kHz stereo; the encoders want two channels.
    GstElement* pipeline = launch(
        "audiotestsrc wave=sine freq=440 volume=0.3 samplesperbuffer=441 num-buffers=" +
            std::to_string(ms / 10) + " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " +
            encoder + " ! filesink name=file",
        path);
    if (!pipeline) return false;
    bool ok = runToEnd(pipeline);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

bool writeToneWithPictures(const std::string& path, PictureContainer container, int ms) {
    gst_init(nullptr, nullptr);
    std::string video, audio, mux;
    switch (container) {
        case PictureContainer::Ogg:
            video = "theoraenc", audio = "vorbisenc", mux = "oggmux";
            break;
        case PictureContainer::Asf:
            video = "avenc_wmv2", audio = "avenc_wmav2 bitrate=128000", mux = "asfmux";
            break;
        case PictureContainer::Avi:
            video = "jpegenc", audio = "audioconvert", mux = "avimux";
            break;
        case PictureContainer::Mp4:
            video = "x264enc speed-preset=ultrafast", audio = "avenc_aac", mux = "mp4mux";
            break;
    }
    const std::string frames = std::to_string(ms / 100);
    GstElement* pipeline = launch(
        "videotestsrc num-buffers=" + frames +
            " ! video/x-raw,width=64,height=48,framerate=10/1 ! videoconvert ! " + video +
            " ! queue ! " + mux + " name=mux ! filesink name=file " +
            "audiotestsrc wave=sine freq=440 volume=0.3 samplesperbuffer=441 num-buffers=" +
            std::to_string(ms / 10) + " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " +
            audio + " ! queue ! mux.",
        path);
    if (!pipeline) return false;
    bool ok = runToEnd(pipeline);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

bool writeColourVideo(const std::string& path, const std::vector<std::string>& colours, bool sound,
                      int width, int height) {
    gst_init(nullptr, nullptr);
    auto endsWith = [&](const char* ext) { return path.ends_with(ext); };
    std::string video =
        "videoconvert ! video/x-raw,format=I420 ! x264enc speed-preset=ultrafast "
        "key-int-max=10";
    std::string audio = "avenc_aac", mux = "mp4mux";
    if (endsWith(".mkv")) mux = "matroskamux";
    if (endsWith(".webm"))
        video = "videoconvert ! vp8enc deadline=1", audio = "vorbisenc", mux = "webmmux";
    if (endsWith(".avi")) video = "videoconvert ! jpegenc", audio = "audioconvert", mux = "avimux";
    if (endsWith(".mpg"))
        video =
            "videorate ! video/x-raw,framerate=25/1 ! videoconvert ! "
            "video/x-raw,format=I420 ! mpeg2enc",
        audio = "avenc_mp2 ! mpegaudioparse", mux = "mpegpsmux";
    const std::string caps = "video/x-raw,width=" + std::to_string(width) +
                             ",height=" + std::to_string(height) + ",framerate=10/1";
    std::string description =
        "concat name=bands ! " + video + " ! queue ! " + mux + " name=mux ! filesink name=file ";
    for (const std::string& colour : colours)
        description +=
            "videotestsrc pattern=" + colour + " num-buffers=10 ! " + caps + " ! bands. ";
    if (sound)
        description +=
            "audiotestsrc wave=sine freq=440 volume=0.3 samplesperbuffer=441 "
            "num-buffers=" +
            std::to_string(colours.size() * 100) +
            " ! audio/x-raw,rate=44100,channels=2 ! audioconvert ! " + audio + " ! queue ! mux.";
    GstElement* pipeline = launch(description, path);
    if (!pipeline) return false;
    bool ok = runToEnd(pipeline);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    return ok;
}

int decodedLengthMs(const std::string& path) {
    gst_init(nullptr, nullptr);
    GstElement* pipeline = launch(
        "filesrc name=file ! decodebin ! audioconvert ! audio/x-raw,format=S16LE,channels=2 ! "
        "fakesink name=out sync=false",
        path);
    if (!pipeline) return -1;
    GstElement* out = gst_bin_get_by_name(GST_BIN(pipeline), "out");
    GstPad* pad = gst_element_get_static_pad(out, "sink");
    DecodedBytes count;
    gst_pad_add_probe(pad, GST_PAD_PROBE_TYPE_BUFFER, countBytes, &count, nullptr);
    int ms = -1;
    int rate = 0;
    if (runToEnd(pipeline)) {
        GstCaps* caps = gst_pad_get_current_caps(pad);
        if (caps && gst_structure_get_int(gst_caps_get_structure(caps, 0), "rate", &rate) &&
            rate > 0)
            ms = static_cast<int>(count.bytes / 4 * 1000 / static_cast<std::uint64_t>(rate));
        if (caps) gst_caps_unref(caps);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pad);
    gst_object_unref(out);
    gst_object_unref(pipeline);
    return ms;
}

std::string tempoChangeMidi() {
    MidiWriter w(480, 2);
    w.tempo(0, 0, 500000).tempo(0, 960, 1000000).endAt(0, 1920);
    w.program(1, 0, 0, 0);
    for (std::uint32_t beat = 0; beat < 4; ++beat) w.note(1, beat * 480, 400, 60 + int(beat) * 2);
    w.endAt(1, 1920);
    return w.bytes();
}

const std::vector<std::string>& musicTypes() {
    static const std::vector<std::string> types = {".wav", ".mp3", ".mp2", ".ogg", ".wma", ".mid"};
    return types;
}

std::string musicTypeName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param.substr(1);
}

std::string jsonField(const std::string& json, const std::string& key) {
    std::size_t at = json.find("\"" + key + "\":");
    if (at == std::string::npos) return {};
    at = json.find_first_not_of(' ', at + key.size() + 3);
    if (at == std::string::npos) return {};
    std::size_t end = at;
    if (json[at] == '"') {
        for (++end; end < json.size() && json[end] != '"'; ++end)
            if (json[end] == '\\') ++end;
        ++end;
    } else {
        end = json.find_first_of(",}", at);
    }
    return json.substr(at, std::min(end, json.size()) - at);
}

void sleepMs(int ms) {
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

int msSince(std::chrono::steady_clock::time_point start) {
    return static_cast<int>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                std::chrono::steady_clock::now() - start)
                                .count());
}

bool waitForMode(Transport& device, int mode, int timeoutMs) {
    auto start = std::chrono::steady_clock::now();
    while (device.mode() != mode) {
        if (msSince(start) > timeoutMs) return false;
        sleepMs(5);
    }
    return true;
}

bool writeSong(const std::string& path, const std::string& ext, int ms) {
    if (ext == ".mid") {
        writeFile(path, tempoChangeMidi());
        return true;
    }
    return writeTone(path, ms);
}

}  // namespace orba::test
