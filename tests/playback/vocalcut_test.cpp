// The vocal cut on samples, measured where a one-speaker listener hears it:
// the sum of the two channels.
#include <gtest/gtest.h>

#include "playback/vocalcut.h"
#include "tests/playback/soundcapture.h"

namespace orba::test {
namespace {

constexpr int kMs = 1000;

std::vector<float> interleaved(const StereoSound& s) {
    std::vector<float> out;
    for (std::size_t i = 0; i < s.left.size(); ++i) {
        out.push_back(s.left[i]);
        out.push_back(s.right[i]);
    }
    return out;
}

// Cuts `sound` in blocks of a few hundred frames, as buffers arrive.
StereoSound cut(const StereoSound& sound) {
    std::vector<float> samples = interleaved(sound);
    VocalCut vocalCut(kCaptureRate);
    const std::size_t frames = samples.size() / 2;
    for (std::size_t at = 0; at < frames; at += 441)
        vocalCut.process(samples.data() + 2 * at, std::min<std::size_t>(441, frames - at));
    StereoSound out;
    for (std::size_t i = 0; i < frames; ++i) {
        out.left.push_back(samples[2 * i]);
        out.right.push_back(samples[2 * i + 1]);
    }
    return out;
}

StereoSound rightOnly(double hz) {
    StereoSound s = sine(hz, kMs, true);
    std::swap(s.left, s.right);
    return s;
}

TEST(VocalCut, OnASummingSpeakerTheSidesStayTheMiddleGoesAndTheBassStays) {
    const StereoSound song =
        mix(mix(sine(440, kMs), sine(660, kMs, true)), mix(rightOnly(990), sine(60, kMs)));
    const std::vector<float> before = channelSum(song);
    const StereoSound out = cut(song);
    const std::vector<float> after = channelSum(out);
    EXPECT_NEAR(levelDb(after, 300, kMs, 660), levelDb(before, 300, kMs, 660), 3);
    EXPECT_NEAR(levelDb(after, 300, kMs, 990), levelDb(before, 300, kMs, 990), 3);
    EXPECT_LE(levelDb(after, 300, kMs, 440), levelDb(before, 300, kMs, 440) - 20);
    EXPECT_NEAR(levelDb(after, 300, kMs, 60), levelDb(before, 300, kMs, 60), 3);
    // What stays is in phase on both channels.
    EXPECT_EQ(out.left, out.right);
}

TEST(VocalCut, AfterAResetTheFilterHoldsNothingOfTheMusicBefore) {
    VocalCut vocalCut(kCaptureRate);
    std::vector<float> loud = interleaved(sine(60, 200));
    vocalCut.process(loud.data(), loud.size() / 2);
    vocalCut.reset();
    std::vector<float> silence(2 * 441, 0.0f);
    vocalCut.process(silence.data(), 441);
    for (float v : silence) ASSERT_EQ(v, 0.0f);
}

}  // namespace
}  // namespace orba::test
