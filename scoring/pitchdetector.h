// What PitchTracker asks of the pitch module (orba_pitch_aubio.so): aubio's
// YIN behind types of our own. The version of the interface is in the name of
// the factory, to be raised with any change here.
#pragma once

namespace orba {

class PitchDetector {
public:
    virtual ~PitchDetector() = default;
    // One hop of samples in; the pitch of the window that ends with it in Hz
    // (0: silence), and in `confidence` how sure YIN is of it (0..1).
    virtual float detect(const float* hop, float& confidence) = 0;
};

// A detector over windows of `window` samples moved by `hop` at `rate`
// samples per second, hearing below `silenceDb` as silence.
using PitchDetectorFactory = PitchDetector* (*)(int window, int hop, int rate, float silenceDb);
inline constexpr const char* kPitchModule = "orba_pitch_aubio.so";
inline constexpr const char* kPitchFactory = "orba_new_pitch_detector_v1";

}  // namespace orba
