#include "tools/rendertool.h"

#include <QGuiApplication>
#include <memory>

#include "platform/bitmap.h"
#include "platform/guardedcommand.h"
#include "player/songresolution.h"
#include "tools/headlessplayer.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

constexpr const char* kUsage =
    "usage: orbakaraoke --render FILE|MUSICFILE --at MS --out PNG [--song-length MS] [--size WxH] "
    "[--debug]";

int render(const std::vector<std::string>& args) {
    ToolArgs a;
    if (std::string e = parseToolArgs(args,
                                      {{"--at", true},
                                       {"--out", true},
                                       {"--song-length", true},
                                       {"--size", true},
                                       {"--debug", false}},
                                      a);
        !e.empty())
        return toolError(e + "\n" + kUsage);
    std::string error;
    const std::optional<int> at = millisecondOption(a, "--at", error);
    const std::optional<int> songLength = millisecondOption(a, "--song-length", error);
    if (!error.empty()) return toolError(error);
    if (!at) return toolError(std::string("--at is missing\n") + kUsage);
    if (std::string late = simulatedMomentError("--at", *at); !late.empty()) return toolError(late);
    if (!a.values.count("--out")) return toolError(std::string("--out is missing\n") + kUsage);
    ClientSize size;
    if (a.values.count("--size")) {
        std::optional<ClientSize> s = parseClientSize(a.values["--size"]);
        if (!s)
            return toolError("--size: '" + a.values["--size"] + "' is not WxH (1 to " +
                             std::to_string(kLargestSide) + ")");
        size = *s;
    }

    const std::unique_ptr<QGuiApplication> app = offscreenApplication();

    // A music file is the song as the window opens it; anything else is a
    // lyric file shown alone (with music of --song-length, when given).
    const bool music = opensAsSong(a.file);
    HeadlessPlayer sim(!music);
    if (music)
        sim.loadMusicFile(a.file);
    else
        sim.loadLyricFile(a.file, songLength, settingsFromFile());
    sim.player().state().debugMode = a.flags.count("--debug") > 0;
    Bitmap back(size.width, size.height);
    const int last = *at / kSimulatedFrameMs;
    for (int k = 0; k <= last; ++k) {
        sim.nextDrawnFrame(back, size.width, size.height);
        if (sim.ended())
            return toolError(std::to_string(*at) + " ms is after the end of the song (" +
                             std::to_string(sim.state().songLength) + " ms)");
    }
    if (!back.image().save(QString::fromStdString(a.values["--out"]), "PNG"))
        return toolError("cannot write " + a.values["--out"]);
    return 0;
}

}  // namespace

int runRender(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return render(args); });
}

}  // namespace orba
