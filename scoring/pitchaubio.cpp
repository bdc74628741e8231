// The pitch module: aubio's fast YIN. Loaded by PitchTracker when scoring
// first listens; nothing else of the player links aubio.
#include <aubio/aubio.h>

#include "scoring/pitchdetector.h"

namespace orba {

namespace {

class AubioPitchDetector final : public PitchDetector {
public:
    AubioPitchDetector(int window, int hop, int rate, float silenceDb)
        : m_hop(static_cast<uint_t>(hop)),
          m_pitch(new_aubio_pitch("yinfast", static_cast<uint_t>(window), m_hop,
                                  static_cast<uint_t>(rate))),
          m_in(new_fvec(m_hop)),
          m_out(new_fvec(1)) {
        aubio_pitch_set_unit(m_pitch, "Hz");
        aubio_pitch_set_silence(m_pitch, silenceDb);
    }
    ~AubioPitchDetector() override {
        del_aubio_pitch(m_pitch);
        del_fvec(m_in);
        del_fvec(m_out);
    }
    AubioPitchDetector(const AubioPitchDetector&) = delete;
    AubioPitchDetector& operator=(const AubioPitchDetector&) = delete;

    float detect(const float* hop, float& confidence) override {
        for (uint_t i = 0; i < m_hop; ++i) m_in->data[i] = hop[i];
        aubio_pitch_do(m_pitch, m_in, m_out);
        confidence = aubio_pitch_get_confidence(m_pitch);
        return m_out->data[0];
    }

private:
    uint_t m_hop;
    aubio_pitch_t* m_pitch;
    fvec_t* m_in;
    fvec_t* m_out;
};

}  // namespace

}  // namespace orba

extern "C" __attribute__((visibility("default"))) orba::PitchDetector* orba_new_pitch_detector_v1(
    int window, int hop, int rate, float silenceDb) {
    return new orba::AubioPitchDetector(window, hop, rate, silenceDb);
}
