#include "scoring/pitchtracker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "scoring/scoringrules.h"
#include "tests/support/withoutmodules.h"

namespace orba {
namespace {

std::vector<float> tone(double hz, double seconds, double level = 0.5) {
    std::vector<float> s(static_cast<std::size_t>(seconds * kVoiceRate));
    for (std::size_t i = 0; i < s.size(); ++i)
        s[i] =
            static_cast<float>(level * std::sin(6.283185307179586 * hz * double(i) / kVoiceRate));
    return s;
}

std::vector<float> track(const std::vector<float>& samples) {
    PitchTracker t;
    std::vector<float> out;
    t.push(samples.data(), samples.size(), [&](std::int64_t, float hz) { out.push_back(hz); });
    return out;
}

TEST(PitchTracker, ToneFrom80To1000HzIsWithin20Cents) {
    for (double hz : {80.0, 98.0, 123.5, 196.0, 261.6, 330.0, 440.0, 587.3, 784.0, 1000.0}) {
        const std::vector<float> est = track(tone(hz, 0.5));
        // Once the window is full, every estimate.
        int counted = 0;
        for (std::size_t i = kPitchWindow / kPitchHop; i < est.size(); ++i, ++counted) {
            ASSERT_GT(est[i], 0.0f) << hz << " Hz, estimate " << i;
            EXPECT_LT(std::abs(1200.0 * std::log2(est[i] / hz)), 20.0)
                << hz << " Hz gave " << est[i];
        }
        EXPECT_GT(counted, 30);
    }
}

TEST(PitchTracker, SilenceAndNoiseGiveNoPitch) {
    for (float hz : track(std::vector<float>(kVoiceRate / 2, 0.0f))) EXPECT_EQ(hz, 0.0f);
    // White noise, from a fixed sequence.
    std::vector<float> noise(kVoiceRate / 2);
    std::uint32_t x = 12345;
    for (float& v : noise) {
        x = x * 1664525u + 1013904223u;
        v = static_cast<float>((x >> 8) / double(1 << 24) - 0.5);
    }
    const std::vector<float> est = track(noise);
    const auto voiced = std::count_if(est.begin(), est.end(), [](float hz) { return hz > 0; });
    EXPECT_LT(voiced, static_cast<long>(est.size() / 10));
}

TEST(PitchTracker, WithoutItsModuleItSaysWhyAndHearsNoPitchOnTheSameHops) {
    std::vector<float> est;
    std::string problem;
    {
        test::WithoutModules none;
        PitchTracker t;
        problem = t.problem();
        const std::vector<float> s = tone(220, 0.1);
        t.push(s.data(), s.size(), [&](std::int64_t, float hz) { est.push_back(hz); });
    }
    EXPECT_NE(problem.find("orba_pitch_aubio.so"), std::string::npos) << problem;
    EXPECT_EQ(est, std::vector<float>(tone(220, 0.1).size() / kPitchHop, 0.0f));
    EXPECT_EQ(PitchTracker().problem(), "");
}

TEST(PitchTracker, EstimatesComeEveryHopAtTheWindowsMiddle) {
    PitchTracker t;
    const std::vector<float> s = tone(220, 0.1);
    std::vector<std::int64_t> centres;
    // In pieces that do not fall on hops.
    for (std::size_t at = 0; at < s.size(); at += 300)
        t.push(s.data() + at, std::min<std::size_t>(300, s.size() - at),
               [&](std::int64_t c, float) { centres.push_back(c); });
    ASSERT_EQ(centres.size(), s.size() / kPitchHop);
    EXPECT_EQ(centres[0], kPitchHop - kPitchWindow / 2);
    EXPECT_EQ(centres[1] - centres[0], kPitchHop);
}

}  // namespace
}  // namespace orba
