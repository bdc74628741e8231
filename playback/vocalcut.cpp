#include "playback/vocalcut.h"

#include <cmath>
#include <numbers>

namespace orba {

namespace {

// The two sections of a Butterworth low-pass of the fourth order.
constexpr std::array<double, 2> kSectionQ{0.54119610, 1.30656296};

}  // namespace

VocalCut::VocalCut(int sampleRate) {
    const double w0 = 2 * std::numbers::pi * kVocalCutBassHz / (sampleRate > 0 ? sampleRate : 48000);
    const double cosW = std::cos(w0);
    for (std::size_t i = 0; i < m_bass.size(); ++i) {
        const double alpha = std::sin(w0) / (2 * kSectionQ[i]);
        const double a0 = 1 + alpha;
        Biquad& b = m_bass[i];
        b.b0 = (1 - cosW) / 2 / a0;
        b.b1 = (1 - cosW) / a0;
        b.b2 = b.b0;
        b.a1 = -2 * cosW / a0;
        b.a2 = (1 - alpha) / a0;
    }
}

double VocalCut::Biquad::run(double x) {
    const double y = b0 * x + z1;
    z1 = b1 * x - a1 * y + z2;
    z2 = b2 * x - a2 * y;
    return y;
}

void VocalCut::process(float* samples, std::size_t frames) {
    for (std::size_t i = 0; i < frames; ++i) {
        const double left = samples[2 * i];
        const double right = samples[2 * i + 1];
        double bass = (left + right) / 2;
        for (Biquad& b : m_bass) bass = b.run(bass);
        const auto out = static_cast<float>((left - right) / 2 + bass);
        samples[2 * i] = out;
        samples[2 * i + 1] = out;
    }
}

void VocalCut::reset() {
    for (Biquad& b : m_bass) b.z1 = b.z2 = 0;
}

}  // namespace orba
