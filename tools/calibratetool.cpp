#include "tools/calibratetool.h"

#include <cstdio>

#include "platform/guardedcommand.h"
#include "platform/json.h"
#include "platform/profilefile.h"
#include "scoring/calibration.h"
#include "settings/settingsstore.h"
#include "tools/toolargs.h"

namespace orba {

namespace {

int calibrate(const std::vector<std::string>& args) {
    const bool dryRun = args.size() == 2 && args[1] == "--dry-run";
    if (args.size() > 2 || (args.size() == 2 && !dryRun))
        return toolError("usage: orbakaraoke --calibrate-mic [--dry-run]");
    const Calibration c = calibrateMicDelay();
    if (!c.delayMs) return toolError("cannot measure the microphone's delay: " + c.problem);
    std::string written;
    if (!dryRun) {
        ProfileFile file(settingsFilePath());
        file.writeInteger("Scoring", "MicDelay", *c.delayMs);
        file.commit();
        written = file.path().string();
    }
    JsonObject j;
    j.add("delay", *c.delayMs).add("clicks", c.clicks).add("heard", c.heard);
    if (dryRun)
        j.addNull("written");
    else
        j.add("written", written);
    std::printf("%s\n", std::move(j).str().c_str());
    return 0;
}

}  // namespace

int runCalibrateMic(const std::vector<std::string>& args) {
    return runGuardedCommand([&] { return calibrate(args); });
}

}  // namespace orba
