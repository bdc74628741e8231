// Where the singer's voice comes from: the microphone, or a recording played
// in its place. The frame asks for what was heard since it last asked.
#pragma once

#include <string>
#include <vector>

#include "scoring/scorer.h"

namespace orba {

class VoiceInput {
public:
    virtual ~VoiceInput() = default;
    // The pitches heard since the last call, each at the song time it
    // belongs to: `songMs` is the song's time now, and the voice reaches us
    // `delayMs` after it was sung.
    virtual std::vector<PitchSample> take(int songMs, int delayMs) = 0;
    // Not empty once the voice is gone for good: why, for the status line.
    virtual std::string problem() const = 0;
};

}  // namespace orba
