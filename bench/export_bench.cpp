// Exports a song (the demo song by default) as the command line does and says
// where the time went: drawing the frames, converting their colours, and the
// rest (encoding and muxing). CPU seconds are given beside wall seconds, because
// the wall clock of a shared machine says little.
//
//   export_bench [SONG] [--out FILE] [--size WxH] [--fps N] [--seconds N]
//
// --seconds: only the song's first N seconds (a short run).
#include <gst/gst.h>
#include <sys/resource.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>

#include "bench/benchsupport.h"
#include "export/videoexport.h"
#include "tools/simulationframesource.h"
#include "tools/toolargs.h"

namespace {

using Clock = std::chrono::steady_clock;

double processCpu() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double threadCpu() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double since(Clock::time_point t) {
    return std::chrono::duration<double>(Clock::now() - t).count();
}

// The frame source with the CPU time of its drawing counted.
class TimedSource : public orba::ExportFrameSource {
public:
    explicit TimedSource(orba::ExportFrameSource& inner) : m_inner(inner) {}
    void drawFrame(int songMs, orba::Bitmap& back) override {
        const double t = threadCpu();
        m_inner.drawFrame(songMs, back);
        cpu += threadCpu() - t;
    }
    double cpu = 0;

private:
    orba::ExportFrameSource& m_inner;
};

// Everything after the arguments; ToolInputError when the song cannot be
// loaded.
int measure(const std::string& song, orba::ExportJob job, int seconds) {
    orba::SimulationFrameSource simulation(song);
    TimedSource source(simulation);
    job.audio = simulation.audio();
    job.inputs = simulation.inputs();
    // The bench's own file, made again on every run.
    job.overwrite = true;
    job.toMs = simulation.songLength();
    if (seconds > 0) job.toMs = std::min(job.toMs, seconds * 1000);

    std::atomic<bool> cancel{false};
    const double cpu0 = processCpu();
    const Clock::time_point t0 = Clock::now();
    const orba::ExportResult r = orba::exportVideo(job, source, nullptr, cancel);
    const double wall = since(t0);
    const double cpu = processCpu() - cpu0;
    if (!r.ok) {
        std::fprintf(stderr, "export failed: %s\n", r.error.c_str());
        return 1;
    }
    const long long frames = orba::frameCount(job.fromMs, job.toMs, job.fps);
    const double song_s = job.toMs / 1000.0;
    std::printf("%s: %lld frames of %dx%d at %d fps, %.1f s of song, into %s (%s)\n", song.c_str(),
                frames, job.width, job.height, job.fps, song_s, job.outFile.c_str(),
                job.plan.name.c_str());
    std::printf("wall      %7.2f s  (%.2fx real time)\n", wall, song_s / wall);
    std::printf("CPU       %7.2f s  (%.2fx real time on one core)\n", cpu, song_s / cpu);
    std::printf("  drawing %7.2f s CPU\n", source.cpu);
    std::printf("  the rest: colour conversion, encoding, muxing, sound %7.2f s CPU\n",
                cpu - source.cpu);
    std::printf(
        "export thread: drawing %.2f s, colour conversion %.2f s, waiting for the encoders %.2f "
        "s\n",
        r.timings.drawing, r.timings.converting, r.timings.waiting);
    std::printf("  rows converted: %.1f%% (the others were as in the frame before)\n",
                r.timings.rowPairs
                    ? 100.0 * double(r.timings.rowPairsChanged) / double(r.timings.rowPairs)
                    : 0.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    using orba::bench::refuseArgument;
    const std::string usage =
        "usage: export_bench [SONG] [--out FILE] [--size WxH] [--fps N] [--seconds N]";
    int seconds = 0;
    std::string song = ORBA_DEMO_DIR "/demo.mp3";
    bool songGiven = false;
    orba::ExportJob job;
    job.outFile = (std::filesystem::temp_directory_path() / "orba-export-bench.mp4").string();
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if ((a == "--out" || a == "--size" || a == "--fps" || a == "--seconds") && i + 1 == argc)
            refuseArgument(argv[0], a + " wants a value; " + usage);
        if (a == "--out") {
            job.outFile = argv[++i];
        } else if (a == "--size") {
            const std::optional<orba::ClientSize> size = orba::parseClientSize(argv[++i]);
            if (!size || !orba::videoSizeError(size->width, size->height).empty())
                refuseArgument(argv[0], std::string("--size: not a video size: ") + argv[i]);
            job.width = size->width;
            job.height = size->height;
        } else if (a == "--fps") {
            std::int64_t fps = 0;
            if (!orba::bench::parseInt(argv[++i], 1, 240, fps))
                refuseArgument(argv[0], std::string("--fps: not 1 to 240: ") + argv[i]);
            job.fps = static_cast<int>(fps);
        } else if (a == "--seconds") {
            std::int64_t n = 0;
            if (!orba::bench::parseInt(argv[++i], 1, 24 * 3600, n))
                refuseArgument(argv[0], std::string("--seconds: not a count: ") + argv[i]);
            seconds = static_cast<int>(n);
        } else if (a.starts_with("-") || songGiven) {
            refuseArgument(argv[0], "unknown argument " + a + "; " + usage);
        } else {
            song = a;
            songGiven = true;
        }
    }
    const std::optional<orba::EncodingPlan> plan = orba::encodingPlanFor(job.outFile);
    if (!plan) refuseArgument(argv[0], "--out: not .mp4, .webm or .mkv: " + job.outFile);
    job.plan = *plan;
    if (!std::filesystem::is_regular_file(song)) refuseArgument(argv[0], "no such song: " + song);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    gst_init(nullptr, nullptr);
    try {
        return measure(song, job, seconds);
    } catch (const orba::ToolInputError& e) {
        refuseArgument(argv[0], e.what());
    }
}
