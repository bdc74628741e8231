// Singing scoring's settings: the [Scoring] section of the settings file,
// read with the rest at every settings load and never written by the player
// (the host edits them by hand or lets the calibration write them; a file
// without the section gives the defaults).
#pragma once

namespace orba {

class ProfileFile;

inline constexpr int kMostMicDelayMs = 1000;

struct ScoreSettings {
    // MicDelay: ms from the singer's voice to its samples reaching the
    // pitch tracker (the sound card's buffers, a wireless microphone);
    // the voice is compared with the melody this much earlier.
    int micDelayMs = 0;
};

// Out-of-range values fall back to the defaults.
ScoreSettings readScoreSettings(const ProfileFile& file);

}  // namespace orba
