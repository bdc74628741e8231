#include "platform/mixer.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orba {

namespace {

// ALSA reports missing cards on stderr; a machine without sound hardware is
// an ordinary case here and must stay quiet.
void silentAlsaError(const char*, int, const char*, int, const char*, ...) {}

const char* const kControlNames[] = {"Master", "PCM"};

class AlsaMixer : public Mixer {
public:
    ~AlsaMixer() override { close(); }

    bool open() override {
        snd_lib_error_set_handler(silentAlsaError);
        if (snd_mixer_open(&m_handle, 0) < 0) {
            m_handle = nullptr;
            return false;
        }
        if (snd_mixer_attach(m_handle, "default") < 0 ||
            snd_mixer_selem_register(m_handle, nullptr, nullptr) < 0 ||
            snd_mixer_load(m_handle) < 0) {
            close();
            return false;
        }
        return true;
    }

    bool queryCapabilities() override {
        return m_handle && snd_mixer_first_elem(m_handle) != nullptr;
    }

    bool findVolumeControl(VolumeControl& control) override {
        if (!m_handle) return false;
        for (std::uint32_t id = 0; id < std::size(kControlNames); ++id) {
            snd_mixer_elem_t* elem = element(id);
            if (!elem) continue;
            long lo = 0, hi = 0;
            if (snd_mixer_selem_get_playback_volume_range(elem, &lo, &hi) < 0) continue;
            // The volume operations count in unsigned 32 bits from the
            // minimum; a range below zero is shifted up to start at 0.
            m_offset = lo < 0 ? lo : 0;
            long top = std::min<long>(hi - m_offset, std::numeric_limits<std::uint32_t>::max());
            control = {id, static_cast<std::uint32_t>(lo - m_offset),
                       static_cast<std::uint32_t>(top)};
            m_control = control;
            return true;
        }
        return false;
    }

    bool readValue(std::uint32_t controlId, std::uint32_t& value) override {
        snd_mixer_elem_t* elem = element(controlId);
        if (!elem) return false;
        snd_mixer_handle_events(m_handle);
        long v = 0;
        if (snd_mixer_selem_get_playback_volume(elem, SND_MIXER_SCHN_FRONT_LEFT, &v) < 0)
            return false;
        value = clampToControl(v - m_offset);
        return true;
    }

    bool writeValue(std::uint32_t controlId, std::uint32_t value) override {
        snd_mixer_elem_t* elem = element(controlId);
        if (!elem) return false;
        long v = static_cast<long>(clampToControl(value)) + m_offset;
        return snd_mixer_selem_set_playback_volume_all(elem, v) >= 0;
    }

    void close() override {
        if (m_handle) snd_mixer_close(m_handle);
        m_handle = nullptr;
    }

private:
    snd_mixer_elem_t* element(std::uint32_t id) const {
        if (!m_handle || id >= std::size(kControlNames)) return nullptr;
        snd_mixer_selem_id_t* sid = nullptr;
        snd_mixer_selem_id_alloca(&sid);
        snd_mixer_selem_id_set_index(sid, 0);
        snd_mixer_selem_id_set_name(sid, kControlNames[id]);
        snd_mixer_elem_t* elem = snd_mixer_find_selem(m_handle, sid);
        if (!elem || !snd_mixer_selem_has_playback_volume(elem)) return nullptr;
        return elem;
    }

    std::uint32_t clampToControl(long v) const {
        return static_cast<std::uint32_t>(
            std::clamp<long>(v, m_control.minimum, m_control.maximum));
    }

    snd_mixer_t* m_handle = nullptr;
    long m_offset = 0;
    VolumeControl m_control;
};

class NoMixer : public Mixer {
public:
    bool open() override { return false; }
    bool queryCapabilities() override { return false; }
    bool findVolumeControl(VolumeControl&) override { return false; }
    bool readValue(std::uint32_t, std::uint32_t&) override { return false; }
    bool writeValue(std::uint32_t, std::uint32_t) override { return false; }
    void close() override {}
};

}  // namespace

std::unique_ptr<Mixer> makeSystemMixer() {
    const char* choice = std::getenv("ORBAKARAOKE_MIXER");
    if (choice && std::strcmp(choice, "none") == 0) return std::make_unique<NoMixer>();
    return std::make_unique<AlsaMixer>();
}

}  // namespace orba

namespace orba {

void quietSoundLibraryDiagnostics() {
    snd_lib_error_set_handler(silentAlsaError);
    // OpenAL reads its log level when its library is first loaded.
    ::setenv("ALSOFT_LOGLEVEL", "0", 0);
}

}  // namespace orba
