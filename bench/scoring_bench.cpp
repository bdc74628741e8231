// What scoring costs: the pitch tracker on a second of singing (its worker
// thread's whole load for that second), a frame's share of the scorer, the
// note lane drawn at 800x600 and 1920x1080, and the frames of the UltraStar
// example sung from a recording, with scoring and without (here the pitch
// is tracked in the frame itself, which the window leaves to its worker:
// an upper bound), with the longest frame of each.
#include <benchmark/benchmark.h>

#include <QImage>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <vector>

#include "bench/benchsupport.h"
#include "lyrics/sources/ultrastarreader.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "scoring/pitchtracker.h"
#include "scoring/scorer.h"
#include "scoring/scorescreens.h"
#include "scoring/scoringrules.h"
#include "scoring/voicefile.h"
#include "settings/settings.h"
#include "tests/support/voicewriter.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

std::vector<float> voice(double seconds) {
    std::vector<float> s(static_cast<std::size_t>(seconds * kVoiceRate));
    double phase = 0;
    for (std::size_t i = 0; i < s.size(); ++i) {
        const double t = double(i) / kVoiceRate;
        phase += 6.283185307179586 * 220.0 * std::exp2(0.3 / 12 * std::sin(34.5 * t)) / kVoiceRate;
        s[i] = static_cast<float>(0.5 * std::sin(phase) + 0.2 * std::sin(2 * phase));
    }
    return s;
}

// A song of 60 lines of 8 notes, 400 ms each.
MelodyReference song() {
    MelodyReference r;
    r.kind = ReferenceKind::UltraStarNotes;
    for (int line = 0; line < 60; ++line)
        for (int k = 0; k < 8; ++k) {
            const int start = line * 4000 + k * 450;
            r.notes.push_back({start, start + 400, 60 + (line + k) % 12, 1.0, line});
        }
    return r;
}

void BM_PitchTrackerSecondOfVoice(benchmark::State& state) {
    const std::vector<float> s = voice(1.0);
    for (auto _ : state) {
        PitchTracker t;
        int voiced = 0;
        t.push(s.data(), s.size(), [&](std::int64_t, float hz) { voiced += hz > 0; });
        benchmark::DoNotOptimize(voiced);
    }
    state.SetLabel("one second of audio per iteration");
}
BENCHMARK(BM_PitchTrackerSecondOfVoice)->Unit(benchmark::kMillisecond);

// A 15 ms frame: about one estimate, the lines to rate, the lane's view.
void BM_ScorerFrame(benchmark::State& state) {
    Scorer scorer(song());
    int ms = 0;
    for (auto _ : state) {
        scorer.add({ms, 261.6f, kPitchHopMs}, 0);
        scorer.finishUpTo(ms - 150);
        benchmark::DoNotOptimize(laneViewAt(scorer, ms, 0));
        ms = (ms + 15) % 240000;
    }
}
BENCHMARK(BM_ScorerFrame)->Unit(benchmark::kMicrosecond);

void BM_DrawNoteLane(benchmark::State& state) {
    const int w = static_cast<int>(state.range(0));
    const int h = static_cast<int>(state.range(1));
    Scorer scorer(song());
    for (int ms = 0; ms < 1600; ms += 12) scorer.add({ms, 261.6f, kPitchHopMs}, 0);
    LaneView lane = laneViewAt(scorer, 1600, 0);
    lane.rating = "Great";
    Bitmap back(w, h);
    const FrameValues f = frameValuesFor(w, h, 15, false);
    const Settings s;
    for (auto _ : state) drawNoteLane(back, f, s, lane);
}
BENCHMARK(BM_DrawNoteLane)->Args({800, 600})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);

const std::string kUltraStarSong = std::string(ORBA_DEMO_DIR) + "/examples/asanouta-ultrastar.txt";

std::vector<float> ultraStarVoice() {
    std::ifstream in(kUltraStarSong, std::ios::binary);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    std::vector<test::SungTone> notes;
    for (const SungNote& n : readUltraStar(lines, TextEncoding::Utf8).notes)
        notes.push_back({n.startMs, n.startMs + n.lengthMs, 60 + n.pitch});
    return test::singNotes(notes, notes.back().endMs + 1000, test::VoiceStyle::Voice);
}

// 30 s of frames (a few in the smoke run), from the song's start.
const int kSongFrames = bench::smokeOr(2000, 20);

void BM_SungSongFrame(benchmark::State& bench) {
    const bool scoring = bench.range(0) != 0;
    const std::string ini =
        (std::filesystem::temp_directory_path() / "orba-scoring-bench.ini").string();
    std::filesystem::remove(ini);
    setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
    HeadlessPlayer headless(false);
    headless.player().state().scoring = scoring;
    std::vector<float> voice = ultraStarVoice();
    headless.player().setVoiceFactory(
        [&voice](std::string&) { return std::make_unique<RecordedVoice>(std::move(voice)); });
    headless.loadMusicFile(kUltraStarSong);
    QImage window(800, 600, QImage::Format_RGB32);
    Bitmap back;
    back.image() = QImage(window.bits(), 800, 600, window.bytesPerLine(), QImage::Format_RGB32);
    // The first frames load fonts and pictures, with or without scoring.
    for (int k = 0; k < 10; ++k) headless.nextDrawnFrame(back, 800, 600);
    double longest = 0;
    for (auto _ : bench) {
        const auto start = std::chrono::steady_clock::now();
        headless.nextDrawnFrame(back, 800, 600);
        longest = std::max(longest, std::chrono::duration<double, std::milli>(
                                        std::chrono::steady_clock::now() - start)
                                        .count());
    }
    bench.counters["longest_ms"] = longest;
    std::filesystem::remove(ini);
}
BENCHMARK(BM_SungSongFrame)
    ->ArgName("scoring")
    ->Arg(0)
    ->Arg(1)
    ->Iterations(kSongFrames)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
}  // namespace orba
