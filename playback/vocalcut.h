// The vocal cut's arithmetic, on interleaved stereo float samples.
//
// A voice is mixed in the middle: the same on both channels. What differs
// between the channels is what stays, as (L - R) / 2 on both channels in
// phase, so that a speaker that adds the channels (a phone, a single party
// speaker) hears an instrument panned to one side as loud as before rather
// than not at all; and from the middle, the bass below where voices sing is
// kept, through a fourth-order low-pass.
#pragma once

#include <array>
#include <cstddef>

namespace orba {

inline constexpr double kVocalCutBassHz = 120.0;

class VocalCut {
public:
    explicit VocalCut(int sampleRate);

    // `samples` holds `frames` pairs of left and right.
    void process(float* samples, std::size_t frames);
    // After a seek or flush: the filter forgets the music before.
    void reset();

private:
    struct Biquad {
        double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0;
        double z1 = 0, z2 = 0;
        double run(double x);
    };
    std::array<Biquad, 2> m_bass;
};

}  // namespace orba
