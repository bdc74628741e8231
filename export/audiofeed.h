// The sound of an exported video, as interleaved stereo float samples from a
// song moment on: the song's own audio decoded, a MIDI song rendered by the
// synthesizer, or silence.
//
// read() runs on the encoder's audio thread while the export's own thread
// may call stop() at any time to make a waiting read() give up.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "export/exportjob.h"

namespace orba {

class AudioFeed {
public:
    static constexpr int kChannels = 2;

    virtual ~AudioFeed() = default;
    virtual int sampleRate() const = 0;
    // Up to `frames` stereo frames into `out`; 0 once the song's sound has
    // ended (or failed: see error()).
    virtual std::size_t read(float* out, std::size_t frames) = 0;
    // Why the sound ended early, "" when it simply ran out.
    virtual std::string error() const { return {}; }
    virtual void stop() {}
};

// The feed of `audio`, starting at `fromMs` of the song; nullptr with `error`
// set when the song's sound cannot be had.
std::unique_ptr<AudioFeed> makeAudioFeed(const ExportAudio& audio, int fromMs, std::string& error);

}  // namespace orba
