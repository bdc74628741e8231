#include "scoring/pitchtracker.h"

#include <aubio/aubio.h>

namespace orba {

namespace {

// Below this YIN is guessing: breath, consonants, the band behind.
constexpr float kLeastConfidence = 0.7f;
constexpr float kSilenceDb = -50.0f;
// Beyond what a voice sings.
constexpr float kLowestHz = 60.0f;
constexpr float kHighestHz = 1500.0f;

}  // namespace

struct PitchTracker::Aubio {
    Aubio()
        : pitch(new_aubio_pitch("yinfast", kPitchWindow, kPitchHop, kVoiceRate)),
          in(new_fvec(kPitchHop)),
          out(new_fvec(1)) {
        aubio_pitch_set_unit(pitch, "Hz");
        aubio_pitch_set_silence(pitch, kSilenceDb);
    }
    ~Aubio() {
        del_aubio_pitch(pitch);
        del_fvec(in);
        del_fvec(out);
    }
    Aubio(const Aubio&) = delete;
    Aubio& operator=(const Aubio&) = delete;

    aubio_pitch_t* pitch;
    fvec_t* in;
    fvec_t* out;
};

PitchTracker::PitchTracker() : m_aubio(std::make_unique<Aubio>()) {}

PitchTracker::~PitchTracker() = default;

void PitchTracker::push(const float* samples, std::size_t count, const Estimate& out) {
    for (std::size_t i = 0; i < count; ++i) {
        m_aubio->in->data[m_filled++] = samples[i];
        ++m_taken;
        if (m_filled < static_cast<std::size_t>(kPitchHop)) continue;
        m_filled = 0;
        aubio_pitch_do(m_aubio->pitch, m_aubio->in, m_aubio->out);
        float hz = m_aubio->out->data[0];
        if (aubio_pitch_get_confidence(m_aubio->pitch) < kLeastConfidence || hz < kLowestHz ||
            hz > kHighestHz)
            hz = 0;
        out(m_taken - kPitchWindow / 2, hz);
    }
}

}  // namespace orba
