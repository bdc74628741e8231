// The drawing half of the running player's CPU: the demo song as the window
// plays it with a fresh settings file (its lyrics, its pictures, the random
// scenes), every frame drawn in place in a window-sized image as the window
// draws into its backing store. 30 s of frames per scene; a frame's CPU
// time over the 15 ms rhythm is the part of a core the drawing alone takes
// (0.3 ms is 2 %). The window adds the X server's round trips and the event
// loop on top, and the music its decoding (bench/player_cpu.sh measures the
// whole).
#include <benchmark/benchmark.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench/benchsupport.h"
#include "effects/background.h"
#include "platform/files.h"
#include "tools/headlessplayer.h"

namespace orba {
namespace {

// 30 s of frames (a few in the smoke run).
const int kFramesPerScene = bench::smokeOr(2000, 20);

void BM_RunningDemoFrame(benchmark::State& bench) {
    const int cw = static_cast<int>(bench.range(0)), ch = static_cast<int>(bench.range(1));
    const int scene = static_cast<int>(bench.range(2));
    const std::string ini =
        (std::filesystem::temp_directory_path() / "orba-running-bench.ini").string();
    std::filesystem::remove(ini);
    setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
    HeadlessPlayer headless(false);
    headless.loadMusicFile(programFolder() + "../app/demo.mp3");
    headless.player().settings().backgroundType = scene;
    QImage window(cw, ch, QImage::Format_RGB32);
    Bitmap back;
    back.image() = QImage(window.bits(), cw, ch, window.bytesPerLine(), QImage::Format_RGB32);
    headless.nextDrawnFrame(back, cw, ch);
    for (auto _ : bench) headless.nextDrawnFrame(back, cw, ch);
    std::filesystem::remove(ini);
}
BENCHMARK(BM_RunningDemoFrame)
    ->ArgNames({"w", "h", "scene"})
    ->Args({800, 600, kSceneRandom})
    ->Args({800, 600, kSceneSpace})
    ->Args({800, 600, kSceneLaser})
    ->Args({800, 600, kSceneRipple})
    ->Args({1920, 1080, kSceneRandom})
    ->Iterations(kFramesPerScene)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace
}  // namespace orba

int main(int argc, char** argv) {
    orba::bench::readBenchmarkFlags(argc, argv);
    auto app = orba::offscreenApplication();
    return orba::bench::runBenchmarks();
}
