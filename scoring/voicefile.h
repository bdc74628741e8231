// A recording that stands in for the microphone: decoded whole, heard in
// step with the song (its time 0 at the song's 0), its pitch tracked as the
// song's time reaches it.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "scoring/pitchtracker.h"
#include "scoring/voiceinput.h"

namespace orba {

// The file as mono samples at kVoiceRate; throws std::runtime_error, with
// why in words, when it cannot be decoded.
std::vector<float> decodeVoiceFile(const std::string& path);

class RecordedVoice : public VoiceInput {
public:
    explicit RecordedVoice(std::vector<float> samples);
    std::vector<PitchSample> take(int songMs, int delayMs) override;
    std::string problem() const override { return m_tracker.problem(); }

private:
    std::vector<float> m_samples;
    std::size_t m_fed = 0;
    PitchTracker m_tracker;
};

}  // namespace orba
