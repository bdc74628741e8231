// The synthesizer must follow the file's tempo map, also after a seek: the
// sound of a note has to start when the tempo map says.
#include "playback/midisource.h"

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

// Renders the song, from `seekMs` when it is positive, block by block as
// the playback pipeline pulls it.
Rendered render(int seekMs) {
    std::string smf = twoNotes();
    std::optional<MidiTempoMap> map = parseMidiTempoMap(smf);
    std::string problem;
    std::unique_ptr<MidiSource> source = MidiSource::create(smf, *map, problem);
    Rendered out;
    if (!source) {
        ADD_FAILURE() << problem;
        return out;
    }
    if (seekMs > 0) {
        EXPECT_TRUE(source->seekToSample(std::uint64_t(seekMs) * MidiSource::kSampleRate / 1000));
    }
    std::vector<float> block(1024 * MidiSource::kChannels);
    std::uint64_t first = 0;
    while (std::size_t frames = source->render(block.data(), 1024, first)) {
        if (out.startMs < 0) out.startMs = double(first) * 1000.0 / MidiSource::kSampleRate;
        for (std::size_t i = 0; i < frames; ++i)
            out.left.push_back(block[i * MidiSource::kChannels]);
    }
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
