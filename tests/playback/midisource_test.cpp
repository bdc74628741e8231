// The synthesizer must follow the file's tempo map, also after a seek: the
// sound of a note has to start when the tempo map says.
#include "playback/midisource.h"

#include <gst/app/gstappsink.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/midiwriter.h"

namespace orba {
namespace {

// A short note at 0 ms, then, after the tempo halves at tick 960, a note at
// tick 1440, which is 2000 ms in.
std::string twoNotes() {
    test::MidiWriter w(480);
    w.tempo(0, 0, 500000).tempo(0, 960, 1000000);
    w.program(0, 0, 0, 0).note(0, 0, 100, 72).note(0, 1440, 240, 72).endAt(0, 1920);
    return w.bytes(0);
}

struct Rendered {
    double startMs = -1;      // time stamp of the first sample
    std::vector<float> left;  // the left channel from there on
};

// Renders the song, from `seekMs` when it is positive, as fast as it goes.
Rendered render(int seekMs) {
    gst_init(nullptr, nullptr);
    std::string smf = twoNotes();
    std::optional<MidiTempoMap> map = parseMidiTempoMap(smf);
    std::string problem;
    std::unique_ptr<MidiSource> source = MidiSource::create(smf, *map, problem);
    Rendered out;
    if (!source) {
        ADD_FAILURE() << problem;
        return out;
    }
    GstElement* pipeline =
        gst_parse_launch("appsrc name=src ! appsink name=sink sync=false", nullptr);
    GstElement* src = gst_bin_get_by_name(GST_BIN(pipeline), "src");
    GstElement* sink = gst_bin_get_by_name(GST_BIN(pipeline), "sink");
    source->attach(src);
    gst_element_set_state(pipeline, GST_STATE_PAUSED);
    gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);
    if (seekMs > 0) {
        gst_element_seek_simple(
            pipeline, GST_FORMAT_TIME,
            static_cast<GstSeekFlags>(GST_SEEK_FLAG_FLUSH | GST_SEEK_FLAG_ACCURATE),
            gint64(seekMs) * GST_MSECOND);
        gst_element_get_state(pipeline, nullptr, nullptr, 5 * GST_SECOND);
    }
    gst_element_set_state(pipeline, GST_STATE_PLAYING);
    while (GstSample* sample = gst_app_sink_try_pull_sample(GST_APP_SINK(sink), 5 * GST_SECOND)) {
        GstBuffer* buffer = gst_sample_get_buffer(sample);
        if (out.startMs < 0) out.startMs = double(GST_BUFFER_PTS(buffer)) / GST_MSECOND;
        GstMapInfo info;
        gst_buffer_map(buffer, &info, GST_MAP_READ);
        const auto* samples = reinterpret_cast<const float*>(info.data);
        for (std::size_t i = 0; i < info.size / sizeof(float); i += 2)
            out.left.push_back(samples[i]);
        gst_buffer_unmap(buffer, &info);
        gst_sample_unref(sample);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(src);
    gst_object_unref(sink);
    gst_object_unref(pipeline);
    return out;
}

double msOfSample(const Rendered& r, std::size_t i) {
    return r.startMs + double(i) * 1000.0 / MidiSource::kSampleRate;
}

// The first moment after `fromMs` at which the sound grows louder than a
// quarter of the loudest sample.
double onsetAfter(const Rendered& r, double fromMs) {
    float peak = 0;
    for (float v : r.left) peak = std::max(peak, std::fabs(v));
    for (std::size_t i = 0; i < r.left.size(); ++i)
        if (msOfSample(r, i) >= fromMs && std::fabs(r.left[i]) > peak / 4) return msOfSample(r, i);
    return -1;
}

TEST(MidiSource, NotesSoundWhenTheTempoMapSays) {
    Rendered r = render(0);
    ASSERT_FALSE(r.left.empty());
    EXPECT_DOUBLE_EQ(r.startMs, 0);
    EXPECT_NEAR(onsetAfter(r, 0), 0, 20);
    EXPECT_NEAR(onsetAfter(r, 1000), 2000, 20);
    EXPECT_NEAR(msOfSample(r, r.left.size()), 3000, 1);
}

TEST(MidiSource, AfterASeekTheNextNoteKeepsItsTime) {
    Rendered r = render(1500);
    ASSERT_FALSE(r.left.empty());
    EXPECT_NEAR(r.startMs, 1500, 1);
    EXPECT_NEAR(onsetAfter(r, 0), 2000, 20);
}

TEST(MidiSource, SoundFontIsFoundOnThisMachine) {
    EXPECT_FALSE(findSoundFont().empty());
}

}  // namespace
}  // namespace orba
