// Writes the demo song with its lyrics inside, as tagging programs leave
// them: an MP3 with an ID3v2 "USLT" frame and an Ogg Vorbis file with a
// "LYRICS" comment, both holding the UTF-8 LRC lyrics with word times, so
// that the player finds the lyrics in the song itself.
//
//   orba_tagdemo MP3 LRC OUTDIR    OUTDIR/asanouta-uslt.mp3, OUTDIR/asanouta-lyrics.ogg
//
// The Ogg file is the MP3's sound encoded again by GStreamer.
#include <gst/gst.h>
#include <taglib/id3v2tag.h>
#include <taglib/mpegfile.h>
#include <taglib/unsynchronizedlyricsframe.h>
#include <taglib/vorbisfile.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string readText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path.string());
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void encodeOgg(const fs::path& from, const fs::path& to) {
    GError* error = nullptr;
    GstElement* pipeline = gst_parse_launch(
        "filesrc name=in ! decodebin ! audioconvert ! audioresample ! vorbisenc quality=0.2 ! "
        "oggmux ! filesink name=out",
        &error);
    if (error) g_error_free(error);
    if (!pipeline) throw std::runtime_error("cannot make the Ogg encoder");
    for (auto [name, path] : {std::pair{"in", &from}, std::pair{"out", &to}}) {
        GstElement* e = gst_bin_get_by_name(GST_BIN(pipeline), name);
        g_object_set(e, "location", path->c_str(), nullptr);
        gst_object_unref(e);
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    GstBus* bus = gst_element_get_bus(pipeline);
    GstMessage* msg = gst_bus_timed_pop_filtered(
        bus, GST_CLOCK_TIME_NONE, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
    const bool ok = msg && GST_MESSAGE_TYPE(msg) == GST_MESSAGE_EOS;
    if (msg) gst_message_unref(msg);
    gst_object_unref(bus);
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
    if (!ok) throw std::runtime_error("cannot encode " + to.string());
}

int tagDemo(const fs::path& mp3, const fs::path& lrc, const fs::path& outDir) {
    const TagLib::String lyrics(readText(lrc), TagLib::String::UTF8);
    fs::create_directories(outDir);

    const fs::path tagged = outDir / "asanouta-uslt.mp3";
    fs::copy_file(mp3, tagged, fs::copy_options::overwrite_existing);
    TagLib::MPEG::File mpeg(tagged.c_str(), false);
    auto* frame = new TagLib::ID3v2::UnsynchronizedLyricsFrame(TagLib::String::UTF8);
    frame->setLanguage("jpn");
    frame->setText(lyrics);
    mpeg.ID3v2Tag(true)->addFrame(frame);
    if (!mpeg.save(TagLib::MPEG::File::ID3v2)) throw std::runtime_error("cannot tag the MP3");

    const fs::path ogg = outDir / "asanouta-lyrics.ogg";
    encodeOgg(mp3, ogg);
    TagLib::Ogg::Vorbis::File vorbis(ogg.c_str(), false);
    vorbis.tag()->addField("LYRICS", lyrics);
    if (!vorbis.save()) throw std::runtime_error("cannot tag the Ogg file");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        gst_init(&argc, &argv);
        if (argc == 4) return tagDemo(argv[1], argv[2], argv[3]);
        std::fprintf(stderr, "usage: orba_tagdemo MP3 LRC OUTDIR\n");
        return 2;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "orba_tagdemo: %s\n", e.what());
        return 1;
    }
}
