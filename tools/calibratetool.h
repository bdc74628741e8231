// --calibrate-mic [--dry-run]: measures the microphone's delay with clicks
// played and heard back, and keeps it as [Scoring] MicDelay.
#pragma once

#include <string>
#include <vector>

namespace orba {

int runCalibrateMic(const std::vector<std::string>& args);

}  // namespace orba
