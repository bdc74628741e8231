#include "settings/scoresettings.h"

#include "platform/profilefile.h"

namespace orba {

ScoreSettings readScoreSettings(const ProfileFile& file) {
    const ScoreSettings defaults;
    ScoreSettings s;
    s.micDelayMs = file.readInteger("Scoring", "MicDelay", defaults.micDelayMs);
    if (s.micDelayMs < 0 || s.micDelayMs > kMostMicDelayMs) s.micDelayMs = defaults.micDelayMs;
    return s;
}

}  // namespace orba
