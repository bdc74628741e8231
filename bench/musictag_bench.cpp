// The lyrics tag of a music file: a 2 MB LYRICS comment in an Ogg file, in
// LRC form with many times on each line, read as the player reads it, and
// the tag alone. `peakMB` is the process's peak resident memory so far.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricsource.h"
#include "lyrics/sources/musictag.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/tagwriter.h"
#include "tests/support/tempdir.h"

namespace {

double peakMb() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_maxrss) / 1024;
}

// Lines of ten times each, the same words sung ten times over.
std::string manyTimesLrc(std::size_t bytes) {
    std::string text;
    for (long long line = 0; text.size() < bytes; ++line) {
        for (int t = 0; t < 10; ++t) text += orba::lrcTime(line * 1000 + t * 600000, '[', ']');
        text += "la la la\n";
    }
    return text;
}

class TaggedOgg : public benchmark::Fixture {
public:
    void SetUp(benchmark::State& state) override {
        if (!path.empty()) return;
        path = dir.file("big.ogg");
        if (!orba::test::writeTone(path, 1000) ||
            !orba::test::writeLyricsTag(path, orba::test::LyricsTag::VorbisLyrics,
                                        manyTimesLrc(2 << 20)))
            state.SkipWithError("cannot make the tagged Ogg file");
    }
    orba::test::TempDir dir;
    std::string path;
};

BENCHMARK_DEFINE_F(TaggedOgg, TagAlone)(benchmark::State& state) {
    const orba::MatroskaLyricsReader none;
    for (auto _ : state) benchmark::DoNotOptimize(orba::readMusicTag(path, none));
    state.counters["peakMB"] = peakMb();
}
BENCHMARK_REGISTER_F(TaggedOgg, TagAlone)->Unit(benchmark::kMillisecond);

BENCHMARK_DEFINE_F(TaggedOgg, LyricsAsThePlayerFindsThem)(benchmark::State& state) {
    const orba::MusicTagReader reader = orba::musicTagReader({});
    for (auto _ : state) benchmark::DoNotOptimize(orba::readEmbeddedLyrics(path, reader));
    state.counters["peakMB"] = peakMb();
}
BENCHMARK_REGISTER_F(TaggedOgg, LyricsAsThePlayerFindsThem)->Unit(benchmark::kMillisecond);

}  // namespace
