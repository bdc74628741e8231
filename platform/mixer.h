// The system's master volume control behind a narrow interface, so that the
// volume arithmetic above it can run against a mixer with chosen bounds.
#pragma once

#include <cstdint>
#include <memory>

namespace orba {

struct VolumeControl {
    std::uint32_t id = 0;
    std::uint32_t minimum = 0;
    std::uint32_t maximum = 0;
};

class Mixer {
public:
    virtual ~Mixer() = default;
    // Opens mixer device 0.
    virtual bool open() = 0;
    // Checks that the open device answers.
    virtual bool queryCapabilities() = 0;
    // The volume control of the speaker output of the open device.
    virtual bool findVolumeControl(VolumeControl& control) = 0;
    // One value for all channels at once.
    virtual bool readValue(std::uint32_t controlId, std::uint32_t& value) = 0;
    virtual bool writeValue(std::uint32_t controlId, std::uint32_t value) = 0;
    virtual void close() = 0;
};

// The mixer of this machine: ALSA's "default" device, whose "Master" control
// (else "PCM") is the master volume. With ORBAKARAOKE_MIXER=none, a mixer that
// has no device, so every volume operation fails quietly.
std::unique_ptr<Mixer> makeSystemMixer();

// Silences the sound libraries' own reports of devices they cannot open
// (ALSA's library messages, OpenAL's log), which the audio output prints on
// stderr each time it looks for a device on a machine without sound
// hardware. The player reports its own errors.
void quietSoundLibraryDiagnostics();

}  // namespace orba
