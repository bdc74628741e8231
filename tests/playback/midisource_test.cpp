// The synthesizer must follow the file's tempo map, also after a seek: the
// sound of a note has to start when the tempo map says.
#include "playback/midisource.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "tests/support/midiwriter.h"
#include "tests/support/withoutmodules.h"

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

// Half tempo from 1000 ms of the song on: the note at 2000 ms of the song
// sounds 2000 ms of output after the change, the song's end takes twice as
// long to reach, and every output sample is told in song time.
TEST(MidiSource, AtHalfTempoTheSongRunsTwiceAsLongAndTheOutputMapsToSongTime) {
    std::string smf = twoNotes();
    std::optional<MidiTempoMap> map = parseMidiTempoMap(smf);
    std::string problem;
    std::unique_ptr<MidiSource> source = MidiSource::create(smf, *map, problem);
    ASSERT_TRUE(source) << problem;
    constexpr std::uint64_t kRate = MidiSource::kSampleRate;
    std::vector<float> block(441 * MidiSource::kChannels);
    Rendered r;
    r.startMs = 0;
    std::uint64_t first = 0;
    auto pull = [&](std::size_t frames) {
        std::size_t n = source->render(block.data(), frames, first);
        for (std::size_t i = 0; i < n; ++i) r.left.push_back(block[i * MidiSource::kChannels]);
        return n;
    };
    for (int i = 0; i < 100; ++i) pull(441);  // one second
    source->setTempo(50);
    while (pull(441) > 0) {
    }
    EXPECT_NEAR(msOfSample(r, r.left.size()), 1000 + 2 * 2000, 11);
    EXPECT_NEAR(onsetAfter(r, 1000), 1000 + 2 * 1000, 30);
    EXPECT_EQ(source->songSampleAt(kRate / 2), kRate / 2);
    EXPECT_EQ(source->songSampleAt(kRate * 3), kRate * 2);  // 1 s at full, 2 s at half
    EXPECT_EQ(source->songSampleAt(kRate * 9), source->endSample());

    // A seek starts both clocks at the song time it asks for.
    ASSERT_TRUE(source->seekToSample(kRate * 2));
    EXPECT_EQ(source->songSampleAt(kRate * 2 + kRate / 10), kRate * 2 + kRate / 20);
    ASSERT_EQ(pull(441), 441u);
    EXPECT_EQ(first, kRate * 2);
}

TEST(MidiSource, WithoutItsModuleNoSourceIsMadeAndTheErrorNamesIt) {
    test::WithoutModules none;
    std::string smf = twoNotes();
    std::optional<MidiTempoMap> map = parseMidiTempoMap(smf);
    ASSERT_TRUE(map);
    std::string problem;
    EXPECT_EQ(MidiSource::create(smf, *map, problem), nullptr);
    EXPECT_NE(problem.find("orba_midi_fluidsynth.so"), std::string::npos) << problem;
}

TEST(MidiSource, SoundFontIsFoundOnThisMachine) {
    EXPECT_FALSE(findSoundFont().empty());
}

}  // namespace
}  // namespace orba
