#include "tools/exporttool.h"

#include <signal.h>

#include <QGuiApplication>
#include <atomic>
#include <cstdio>
#include <iterator>
#include <memory>

#include "export/outputfile.h"
#include "export/videoexport.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "tools/headlessplayer.h"
#include "tools/simulationframesource.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

constexpr const char* kUsage =
    "usage: orbakaraoke --export-video SONG OUT [--size WxH] [--fps N] [--from MS] [--to MS] "
    "[--overwrite] [--quiet]\n"
    "  OUT ends in .mp4 (H.264, AAC), .webm (VP9, Opus) or .mkv (H.264, Opus); an existing OUT\n"
    "  is replaced only with --overwrite";

std::atomic<bool> g_interrupted{false};

void onInterrupt(int) {
    g_interrupted = true;
}

// Ctrl+C, a kill or a closed terminal asks the export to stop and clean up
// rather than killing it with its partial file left behind.
class InterruptGuard {
public:
    InterruptGuard() {
        g_interrupted = false;
        struct sigaction action {};
        action.sa_handler = onInterrupt;
        sigemptyset(&action.sa_mask);
        for (std::size_t i = 0; i < std::size(kSignals); ++i) {
            ::sigaction(kSignals[i], nullptr, &m_old[i]);
            // A signal ignored by whoever started us (nohup, a background
            // job) stays ignored: the export is meant to outlive it.
            if (m_old[i].sa_handler != SIG_IGN) ::sigaction(kSignals[i], &action, nullptr);
        }
    }
    ~InterruptGuard() {
        for (std::size_t i = 0; i < std::size(kSignals); ++i)
            ::sigaction(kSignals[i], &m_old[i], nullptr);
    }

private:
    static constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
    struct sigaction m_old[std::size(kSignals)]{};
};

int exportVideoCommand(const std::vector<std::string>& args) {
    ToolArgs a;
    if (std::string e = parseToolArgs(args,
                                      {{"--size", true},
                                       {"--fps", true},
                                       {"--from", true},
                                       {"--to", true},
                                       {"--overwrite", false},
                                       {"--quiet", false}},
                                      a, true);
        !e.empty())
        return toolError(e + "\n" + kUsage);
    std::string error;
    const std::optional<int> from = millisecondOption(a, "--from", error);
    const std::optional<int> to = millisecondOption(a, "--to", error);
    if (!error.empty()) return toolError(error);
    std::optional<int> fps;
    if (auto it = a.values.find("--fps"); it != a.values.end()) {
        fps = parseMilliseconds(it->second);
        if (!fps) return toolError("--fps: '" + it->second + "' is not a whole number");
    }
    ExportJob job;
    job.outFile = a.secondFile;
    job.overwrite = a.flags.count("--overwrite") > 0;
    std::optional<EncodingPlan> plan = encodingPlanFor(job.outFile);
    if (!plan) return toolError("cannot tell the video type of " + job.outFile + "\n" + kUsage);
    job.plan = *plan;
    if (a.values.count("--size")) {
        std::optional<ClientSize> s = parseClientSize(a.values["--size"]);
        if (!s)
            return toolError("--size: '" + a.values["--size"] + "' is not WxH (1 to " +
                             std::to_string(kLargestSide) + ")");
        job.width = s->width;
        job.height = s->height;
        if (std::string e = videoSizeError(job.width, job.height); !e.empty())
            return toolError("--size: " + e);
    }
    if (fps) job.fps = *fps;

    // The song is kept from being the output before it is read at all: a
    // file that does not open as the song it is named for is still the
    // user's.
    if (std::string e = outputIsAnInput(job.outFile, {a.file}); !e.empty()) return toolError(e);

    const std::unique_ptr<QGuiApplication> app = offscreenApplication();

    SimulationFrameSource source(a.file);
    job.audio = source.audio();
    job.inputs = source.inputs();
    job.fromMs = from.value_or(0);
    job.toMs = to.value_or(source.songLength());
    if (job.toMs > source.songLength())
        return toolError("--to " + std::to_string(job.toMs) + " is after the end of the song (" +
                         std::to_string(source.songLength()) + " ms)");

    const bool quiet = a.flags.count("--quiet") > 0;
    std::string shown;
    auto progress = [&](const ExportProgress& p) {
        // The line is rewritten only when its text changes, a few times a second.
        std::string text = progressText(p);
        if (quiet || text == shown) return;
        shown = text;
        std::fprintf(stderr, "\r%s: %s\033[K", job.outFile.c_str(), text.c_str());
        std::fflush(stderr);
    };
    InterruptGuard interrupt;
    const ExportResult r = exportVideo(job, source, progress, g_interrupted);
    if (!shown.empty()) std::fputs("\n", stderr);
    if (r.outputExists) return toolError(r.error + " (--overwrite replaces it)");
    if (!r.ok) return toolError(r.error);
    return 0;
}

}  // namespace

int runExportVideo(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return exportVideoCommand(args); });
}

}  // namespace orba
