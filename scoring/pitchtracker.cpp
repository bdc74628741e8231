#include "scoring/pitchtracker.h"

#include "platform/modules.h"
#include "scoring/pitchdetector.h"

namespace orba {

namespace {

// Below this YIN is guessing: breath, consonants, the band behind.
constexpr float kLeastConfidence = 0.7f;
constexpr float kSilenceDb = -50.0f;
// Beyond what a voice sings.
constexpr float kLowestHz = 60.0f;
constexpr float kHighestHz = 1500.0f;

}  // namespace

PitchTracker::PitchTracker() : m_hop(kPitchHop) {
    std::string why;
    const auto factory =
        reinterpret_cast<PitchDetectorFactory>(moduleSymbol(kPitchModule, kPitchFactory, why));
    if (factory)
        m_detector.reset(factory(kPitchWindow, kPitchHop, kVoiceRate, kSilenceDb));
    else
        m_problem = "the voice's pitch cannot be told: " + why;
}

PitchTracker::~PitchTracker() = default;

void PitchTracker::push(const float* samples, std::size_t count, const Estimate& out) {
    for (std::size_t i = 0; i < count; ++i) {
        m_hop[m_filled++] = samples[i];
        ++m_taken;
        if (m_filled < static_cast<std::size_t>(kPitchHop)) continue;
        m_filled = 0;
        float confidence = 0;
        float hz = m_detector ? m_detector->detect(m_hop.data(), confidence) : 0.0f;
        if (confidence < kLeastConfidence || hz < kLowestHz || hz > kHighestHz) hz = 0;
        out(m_taken - kPitchWindow / 2, hz);
    }
}

}  // namespace orba
