// A mixer without hardware for tests: one control with chosen bounds whose
// value can be read back, and switches to make each step fail.
#pragma once

#include "platform/mixer.h"

namespace orba {

class FakeMixer : public Mixer {
public:
    FakeMixer(std::uint32_t minimum, std::uint32_t maximum, std::uint32_t value)
        : minimum(minimum), maximum(maximum), value(value) {}

    bool open() override {
        ++opens;
        return !failOpen;
    }
    bool queryCapabilities() override { return !failCapabilities; }
    bool findVolumeControl(VolumeControl& control) override {
        ++lookups;
        if (!hasControl) return false;
        control = {kControlId, minimum, maximum};
        return true;
    }
    bool readValue(std::uint32_t controlId, std::uint32_t& out) override {
        if (controlId != kControlId) return false;
        out = value;
        return true;
    }
    bool writeValue(std::uint32_t controlId, std::uint32_t in) override {
        if (controlId != kControlId || failWrite) return false;
        value = in;
        return true;
    }
    void close() override { ++closes; }

    static constexpr std::uint32_t kControlId = 7;
    std::uint32_t minimum;
    std::uint32_t maximum;
    std::uint32_t value;
    bool failOpen = false;
    bool failCapabilities = false;
    bool hasControl = true;
    bool failWrite = false;
    int opens = 0;
    int lookups = 0;
    int closes = 0;
};

}  // namespace orba
