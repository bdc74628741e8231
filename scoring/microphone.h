// The singer's microphone: GStreamer's autoaudiosrc, or the source that
// ORBAKARAOKE_MIC_SOURCE describes (a test sings from a file that way). Its
// samples go to a worker thread that tracks their pitch; the frame takes the
// pitches with the moments they were heard, so the frame's thread never
// waits on the sound.
//
// A source that cannot be made or started gives no microphone and a reason;
// one that fails later (unplugged) keeps its reason in problem(). A source
// that ends (a file) goes silent.
#pragma once

#include <memory>
#include <string>

#include "scoring/voiceinput.h"

namespace orba {

class Microphone : public VoiceInput {
public:
    // Nothing, with `why` in words, when there is no microphone to use.
    static std::unique_ptr<Microphone> open(std::string& why);
    // The source description open() uses.
    static std::string sourceDescription();
    ~Microphone() override;

    std::vector<PitchSample> take(int songMs, int delayMs) override;
    std::string problem() const override;

private:
    Microphone();
    struct Impl;
    std::unique_ptr<Impl> m_impl;
};

}  // namespace orba
