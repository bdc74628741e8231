// The voice's pitch, one estimate per hop of mono samples, from aubio's YIN
// (its fast form: the FFT-weighted one reads low voices a semitone sharp)
// with its confidence: silence, noise and unvoiced sounds give 0.
// aubio lives in a module loaded with the first tracker; without it every
// estimate is 0 and problem() says why. Not thread-safe; one tracker per
// stream.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orba {

inline constexpr int kVoiceRate = 44100;   // samples per second the tracker takes
inline constexpr int kPitchWindow = 2048;  // samples: 46 ms, three periods of 80 Hz
inline constexpr int kPitchHop = 512;      // samples: an estimate every 11.6 ms
inline constexpr float kPitchHopMs = 1000.0f * kPitchHop / kVoiceRate;

class PitchDetector;

class PitchTracker {
public:
    PitchTracker();
    ~PitchTracker();
    PitchTracker(const PitchTracker&) = delete;
    PitchTracker& operator=(const PitchTracker&) = delete;

    // Each whole hop of the samples gives `out` the sample index (counted
    // from the stream's start) at the middle of the window it looked at,
    // and the pitch there in Hz (0: none).
    using Estimate = std::function<void(std::int64_t centreSample, float hz)>;
    void push(const float* samples, std::size_t count, const Estimate& out);

    // Samples taken so far.
    std::int64_t samplesTaken() const { return m_taken; }
    // Why no pitch can be told ("" while it can).
    const std::string& problem() const { return m_problem; }

private:
    std::unique_ptr<PitchDetector> m_detector;
    std::string m_problem;
    std::vector<float> m_hop;
    std::size_t m_filled = 0;  // of the current hop
    std::int64_t m_taken = 0;
};

}  // namespace orba
