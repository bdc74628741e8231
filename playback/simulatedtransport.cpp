#include "playback/simulatedtransport.h"

#include <algorithm>

#include "playback/mediadevice.h"

namespace orba {

SimulatedTransport::SimulatedTransport(LengthOf lengthOf, bool midi)
    : m_lengthOf(std::move(lengthOf)), m_midi(midi) {}

void SimulatedTransport::advance(int ms) {
    if (!m_open || m_state != State::Playing || ms <= 0) return;
    m_position = static_cast<int>(std::min<long long>(static_cast<long long>(m_position) + ms,
                                                      static_cast<long long>(m_length)));
    if (m_position >= m_length) m_state = State::Stopped;
}

void SimulatedTransport::open(const std::string& fileName) {
    close();
    m_fileName = fileName;
    const std::optional<int> length = m_lengthOf ? m_lengthOf(fileName) : std::nullopt;
    if (!length) {
        m_error = kMediaFileNotFound;
        throw MediaDeviceError(errorText());
    }
    m_error = kMediaOk;
    m_open = true;
    m_length = std::max(0, *length);
}

void SimulatedTransport::close() {
    m_open = false;
    m_state = State::Stopped;
    m_position = 0;
    m_length = 0;
    m_startPosition.reset();
}

void SimulatedTransport::play() {
    if (!m_open) return;
    if (m_startPosition) {
        m_position = std::clamp(*m_startPosition, 0, m_length);
        m_startPosition.reset();
    } else if (m_state == State::Stopped && m_position >= m_length) {
        m_position = 0;
    }
    m_state = State::Playing;
}

void SimulatedTransport::pauseToggle() {
    if (m_state == State::Playing)
        m_state = State::Paused;
    else if (m_state == State::Paused)
        m_state = State::Playing;
}

void SimulatedTransport::stop() {
    m_state = State::Stopped;
}

void SimulatedTransport::seek(int ms) {
    if (m_open) m_position = std::clamp(ms, 0, m_length);
    m_state = State::Stopped;
}

void SimulatedTransport::pauseAt(int ms) {
    seek(ms);
    if (m_open) m_state = State::Paused;
}

void SimulatedTransport::setStartPosition(int ms) {
    m_startPosition = ms;
}

int SimulatedTransport::mode() {
    if (!m_open) return kModeNotReady;
    switch (m_state) {
        case State::Playing:
            return kModePlaying;
        case State::Paused:
            return kModePaused;
        case State::Stopped:
            break;
    }
    return kModeStopped;
}

std::string SimulatedTransport::errorText() const {
    return m_error == kMediaOk ? std::string() : std::string("cannot open ") + m_fileName;
}

}  // namespace orba
