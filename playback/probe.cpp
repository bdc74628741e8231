#include "playback/probe.h"

#include <charconv>
#include <chrono>
#include <cstdio>
#include <thread>

#include "platform/files.h"
#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "playback/mediadevice.h"
#include "playback/waituntilplaying.h"

namespace orba {

namespace {

int probe(const std::vector<std::string>& args) {
    std::string file;
    int playMs = -1;
    bool usable = true;
    for (std::size_t i = 1; i < args.size(); ++i) {
        if (args[i] == "--play" && i + 1 < args.size()) {
            std::optional<int> ms = parseMilliseconds(args[++i]);
            usable = usable && ms.has_value();
            playMs = ms.value_or(-1);
        } else if (file.empty())
            file = args[i];
        else
            usable = false;
    }
    if (file.empty() || !usable) {
        std::fputs("usage: orbakaraoke --probe FILE [--play MS]\n", stderr);
        return 2;
    }

    MediaDevice device;
    try {
        device.open(file);
    } catch (const MediaDeviceError&) {
        // The error code and text say what went wrong.
    }
    bool opened = device.lastError() == kMediaOk;
    bool midi = playsAsMidi(file);
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
        std::this_thread::sleep_for(std::chrono::milliseconds(playMs));
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
