// The system's master volume as whole percentages. One mixer serves the whole
// process: it is opened by the first operation that needs it and its volume
// control is looked up once per open mixer.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/mixer.h"

namespace orba {

// The nearest whole percentage of a control value, a half going up. Unsigned
// 32-bit arithmetic throughout, as volumes have always been computed here.
std::uint32_t volumePercentFromValue(std::uint32_t value, std::uint32_t minimum,
                                     std::uint32_t maximum);
// The control value for a percentage, truncated.
std::uint32_t volumeValueFromPercent(std::uint32_t percent, std::uint32_t minimum,
                                     std::uint32_t maximum);
// The volume keys: down to a multiple of 5, then one step of `step`, within 0..100.
int steppedVolume(int percent, int step);

class MasterVolume {
public:
    explicit MasterVolume(std::unique_ptr<Mixer> mixer);
    ~MasterVolume();

    bool openMixer();
    bool findVolumeControl();
    bool getMasterVolume(unsigned int& percent);
    bool setMasterVolume(unsigned int percent);
    void closeMixer();

private:
    std::unique_ptr<Mixer> m_mixer;
    bool m_open = false;
    std::int64_t m_controlId = -1;
    std::uint32_t m_minimum = 0;
    std::uint32_t m_maximum = 0;
};

// The process-wide master volume, over the system mixer unless another mixer
// was installed first.
MasterVolume& masterVolume();
void installMixer(std::unique_ptr<Mixer> mixer);

bool openMixer();
bool findVolumeControl();
bool getMasterVolume(unsigned int& percent);
bool setMasterVolume(unsigned int percent);
void closeMixer();

// At a settings load that asks for a fixed volume: remember the volume found
// in `savedVolume` (unchanged when it cannot be read), then set `volume`.
void imposeConfiguredVolume(int volume, int& savedVolume);
// When the window goes: put the remembered volume back and let the mixer go.
void restoreSavedVolume(int savedVolume);

}  // namespace orba
