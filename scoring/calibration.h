// Measuring the microphone's delay: clicks are played through the sound
// output while the microphone listens; each click heard back is late by the
// delay the scoring must allow for (the output's buffers, the air, the
// input's buffers). The median of the clicks heard is the measure.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orba {

inline constexpr int kCalibrationClicks = 8;
inline constexpr int kCalibrationIntervalMs = 750;
// A click heard later than this after it was played is some other sound.
inline constexpr int kLatestClickMs = 600;

// The moments (ms from the first sample) where the level rises to
// `threshold` after at least `quietMs` below it.
std::vector<int> clickOnsets(const std::vector<float>& samples, int rate, float threshold = 0.1f,
                             int quietMs = 200);

// For each click played, the first onset heard within kLatestClickMs after
// it; the median of those delays. None when fewer than half were heard.
std::optional<int> measuredDelay(const std::vector<int>& clicksMs,
                                 const std::vector<int>& onsetsMs);

struct Calibration {
    std::optional<int> delayMs;
    int clicks = 0;
    int heard = 0;
    std::string problem;  // not empty: the microphone or the output could not be used
};

// Plays kCalibrationClicks clicks through ORBAKARAOKE_AUDIO_SINK (else the
// system's output) and listens through the microphone (Microphone's source).
Calibration calibrateMicDelay();

}  // namespace orba
