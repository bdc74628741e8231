#include "playback/mastervolume.h"

#include <algorithm>

namespace orba {

std::uint32_t volumePercentFromValue(std::uint32_t value, std::uint32_t minimum,
                                     std::uint32_t maximum) {
    std::uint32_t range = maximum - minimum;
    if (maximum <= minimum) return 0;
    return ((value - minimum) * 100u + range / 2u) / range;
}

std::uint32_t volumeValueFromPercent(std::uint32_t percent, std::uint32_t minimum,
                                     std::uint32_t maximum) {
    return minimum + (percent * (maximum - minimum)) / 100u;
}

int steppedVolume(int percent, int step) {
    // 64 bits: the configured volume comes from a hand-editable file.
    const long long base = percent - percent % 5;
    return static_cast<int>(std::clamp<long long>(base + step, 0, 100));
}

MasterVolume::MasterVolume(std::unique_ptr<Mixer> mixer) : m_mixer(std::move(mixer)) {}

MasterVolume::~MasterVolume() {
    if (m_open) m_mixer->close();
}

bool MasterVolume::openMixer() {
    if (m_open) return true;
    if (!m_mixer->open()) return false;
    m_open = true;
    return m_mixer->queryCapabilities();
}

bool MasterVolume::findVolumeControl() {
    if (m_controlId != -1) return true;
    if (!openMixer()) return false;
    VolumeControl control;
    if (!m_mixer->findVolumeControl(control)) return false;
    // A control without range cannot be turned, and every percentage of it
    // would divide by zero.
    if (control.maximum <= control.minimum) return false;
    m_minimum = control.minimum;
    m_maximum = control.maximum;
    m_controlId = control.id;
    return true;
}

bool MasterVolume::getMasterVolume(unsigned int& percent) {
    if (!findVolumeControl()) return false;
    std::uint32_t value = 0;
    if (!m_mixer->readValue(static_cast<std::uint32_t>(m_controlId), value)) return false;
    percent = volumePercentFromValue(value, m_minimum, m_maximum);
    return true;
}

bool MasterVolume::setMasterVolume(unsigned int percent) {
    if (!findVolumeControl()) return false;
    // Above 100 % the product would leave the control's range (and, for wide
    // ranges, wrap around).
    std::uint32_t value = volumeValueFromPercent(std::min(percent, 100u), m_minimum, m_maximum);
    return m_mixer->writeValue(static_cast<std::uint32_t>(m_controlId), value);
}

void MasterVolume::closeMixer() {
    if (m_open) m_mixer->close();
    m_open = false;
    m_controlId = -1;
}

namespace {
std::unique_ptr<MasterVolume>& processVolume() {
    static std::unique_ptr<MasterVolume> volume;
    return volume;
}
}  // namespace

MasterVolume& masterVolume() {
    std::unique_ptr<MasterVolume>& volume = processVolume();
    if (!volume) volume = std::make_unique<MasterVolume>(makeSystemMixer());
    return *volume;
}

void installMixer(std::unique_ptr<Mixer> mixer) {
    processVolume() = std::make_unique<MasterVolume>(std::move(mixer));
}

bool openMixer() {
    return masterVolume().openMixer();
}
bool findVolumeControl() {
    return masterVolume().findVolumeControl();
}
bool getMasterVolume(unsigned int& percent) {
    return masterVolume().getMasterVolume(percent);
}
bool setMasterVolume(unsigned int percent) {
    return masterVolume().setMasterVolume(percent);
}
void closeMixer() {
    masterVolume().closeMixer();
}

void imposeConfiguredVolume(int volume, int& savedVolume) {
    unsigned int found = 0;
    if (getMasterVolume(found)) savedVolume = static_cast<int>(found);
    setMasterVolume(static_cast<unsigned int>(std::clamp(volume, 0, 100)));
}

void restoreSavedVolume(int savedVolume) {
    setMasterVolume(static_cast<unsigned int>(std::clamp(savedVolume, 0, 100)));
    closeMixer();
}

}  // namespace orba
