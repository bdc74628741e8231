#include "tools/probetool.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/files.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "playback/mediadevice.h"
#include "playback/waituntilplaying.h"
#include "player/songresolution.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

int probe(const std::vector<std::string>& args) {
    ToolArgs a;
    std::string problem = parseToolArgs(args, {{"--play", true}}, a);
    const std::optional<int> play = millisecondOption(a, "--play", problem);
    if (!problem.empty())
        return toolError(problem + "\nusage: orbakaraoke --probe FILE [--play MS]");
    const std::string& file = a.file;
    const int playMs = play.value_or(-1);

    MediaDevice device;
    try {
        device.open(file);
    } catch (const MediaDeviceError&) {
        // The error code and text say what went wrong.
    }
    bool opened = device.lastError() == kMediaOk;
    // As the player decides it for the song it opens.
    const bool midi = chooseSong(lookAtSong(file), {}).isMidi;
    JsonObject json;
    int length = 0;
    std::uint32_t error = device.lastError();
    std::string errorText = device.errorText();
    if (opened) {
        device.setTimeFormatMilliseconds();
        length = device.length();
    }
    json.add("length", length)
        .add("error", static_cast<long long>(error))
        .add("errorText", errorText)
        .add("isMidi", midi);
    if (opened && playMs >= 0) {
        device.play();
        if (midi) waitUntilPlaying(device);
        // Plays for the time asked, but no longer than the song.
        const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(playMs);
        while (std::chrono::steady_clock::now() < end && device.mode() == kModePlaying)
            std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
                end - std::chrono::steady_clock::now(), std::chrono::milliseconds(20)));
        json.add("position", device.position()).add("mode", device.mode());
    }
    std::puts(json.str().c_str());
    return opened ? 0 : 2;
}

}  // namespace

int runProbe(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return probe(args); });
}

}  // namespace orba
