// The media device's per-frame position query and its open times.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <thread>

#include "bench/benchsupport.h"
#include "playback/mediadevice.h"
#include "tests/playback/mediafixtures.h"
#include "tests/support/midiwriter.h"

namespace {

using namespace orba;

test::TempDir& folder() {
    static test::TempDir dir;
    return dir;
}

const std::string& mp3File() {
    static const std::string path = [] {
        std::string p = folder().file("song.mp3");
        test::writeTone(p, 180000);
        return p;
    }();
    return path;
}

// A karaoke-sized MIDI song: three minutes, sixteen tracks of notes, a tempo
// change in every bar.
const std::string& midiFile() {
    static const std::string path = [] {
        test::MidiWriter w(480, 16);
        std::uint32_t bars = 90;
        for (std::uint32_t bar = 0; bar < bars; ++bar)
            w.tempo(0, bar * 1920, 480000 + (bar % 7) * 10000);
        for (int track = 1; track < 16; ++track) {
            w.program(track, 0, track % 16, track * 5);
            for (std::uint32_t beat = 0; beat < bars * 4; ++beat)
                w.note(track, beat * 480, 400, 40 + (int(beat) + track * 3) % 40, track % 16);
        }
        std::string p = folder().file("song.mid");
        test::writeFile(p, w.bytes());
        return p;
    }();
    return path;
}

void BM_PositionQuery(benchmark::State& state) {
    MediaDevice device;
    device.open(mp3File());
    device.play();
    int sum = 0;
    for (auto _ : state) sum += device.position();
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_PositionQuery);

// Heap in use before and after 100,000 queries. The heap is the process's:
// while the music plays, the streaming threads allocate and free as well.
void BM_PositionQueryHeapGrowth(benchmark::State& state) {
    MediaDevice device;
    device.open(mp3File());
    device.play();
    if (state.range(0) == 0) device.pauseToggle();
    for (int i = 0; i < 1000; ++i) device.position();
    for (auto _ : state) {
        std::size_t before = mallinfo2().uordblks;
        for (int i = 0; i < 100000; ++i) benchmark::DoNotOptimize(device.position());
        std::size_t after = mallinfo2().uordblks;
        state.counters["heapGrowthBytes"] = double(after) - double(before);
    }
}
BENCHMARK(BM_PositionQueryHeapGrowth)
    ->ArgName("playing")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// Opening includes what a song load waits for: the preroll, and for MIDI
// the synthesizer with its soundfont.
void BM_Open(benchmark::State& state, const std::string& (*file)()) {
    MediaDevice device;
    for (auto _ : state) {
        device.open(file());
        benchmark::DoNotOptimize(device.length());
        device.close();
    }
}
BENCHMARK_CAPTURE(BM_Open, mp3, &mp3File)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Open, midi, &midiFile)->Unit(benchmark::kMillisecond);

// How far the time of a Space tap in the time-tag edit mode can be off: the
// device's position read at irregular moments against the wall clock. The
// spread of the difference is how far one tap can be off against another; a
// sound card adds its constant output delay on top. 200 taps (10 in the smoke
// run).
void BM_TapTime(benchmark::State& state, const std::string& (*file)()) {
    using Clock = std::chrono::steady_clock;
    MediaDevice device;
    device.open(file());
    device.play();
    for (int i = 0; i < 2000 && device.position() <= 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const Clock::time_point start = Clock::now();
    const int first = device.position();
    double low = 1e9;
    double high = -1e9;
    int wait = 17;
    for (auto _ : state) {
        wait = (wait * 7 + 11) % 43 + 5;
        std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        const double wall = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        const double off = device.position() - first - wall;
        low = std::min(low, off);
        high = std::max(high, off);
    }
    state.counters["lowMs"] = low;
    state.counters["highMs"] = high;
    state.counters["spreadMs"] = high - low;
}
BENCHMARK_CAPTURE(BM_TapTime, mp3, &mp3File)
    ->Iterations(bench::smokeOr(200, 10))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_TapTime, midi, &midiFile)
    ->Iterations(bench::smokeOr(200, 10))
    ->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    orba::bench::readBenchmarkFlags(argc, argv);
    // Benchmarks measure the device, not a sound card.
    setenv("ORBAKARAOKE_AUDIO_SINK", "fakesink sync=true", 0);
    return orba::bench::runBenchmarks();
}
