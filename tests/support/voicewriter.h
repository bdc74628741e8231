// Singing made up for tests: the notes of a melody as a plain tone or as a
// voice (vibrato, harmonics, a soft attack), moved by semitones, written as
// a 16-bit mono WAV file that stands in for the microphone.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/tempdir.h"

namespace orba::test {

inline constexpr int kVoiceWavRate = 44100;

struct SungTone {
    int startMs = 0;
    int endMs = 0;
    int key = 60;  // MIDI key number
};

enum class VoiceStyle { Tone, Voice };

inline std::vector<float> singNotes(const std::vector<SungTone>& notes, int lengthMs,
                                    VoiceStyle style, int shiftSemitones = 0) {
    std::vector<float> out(static_cast<std::size_t>(std::int64_t(lengthMs) * kVoiceWavRate / 1000));
    constexpr double kTau = 6.283185307179586;
    for (const SungTone& n : notes) {
        const double hz = 440.0 * std::exp2((n.key + shiftSemitones - 69) / 12.0);
        const auto from = static_cast<std::size_t>(std::int64_t(n.startMs) * kVoiceWavRate / 1000);
        const auto to = std::min(
            out.size(), static_cast<std::size_t>(std::int64_t(n.endMs) * kVoiceWavRate / 1000));
        double phase = 0;
        for (std::size_t i = from; i < to; ++i) {
            const double t = double(i - from) / kVoiceWavRate;
            const double left = double(to - i) / kVoiceWavRate;
            // 15 ms in and out: no clicks between notes.
            const double envelope = std::min({1.0, t / 0.015, left / 0.015});
            double f = hz;
            double v = 0;
            if (style == VoiceStyle::Voice) {
                // A 5.5 Hz vibrato of 30 cents either way, and a voice's overtones.
                f = hz * std::exp2(0.30 / 12.0 * std::sin(kTau * 5.5 * t));
                phase += kTau * f / kVoiceWavRate;
                v = 0.5 * std::sin(phase) + 0.25 * std::sin(2 * phase) +
                    0.15 * std::sin(3 * phase) + 0.08 * std::sin(4 * phase);
            } else {
                phase += kTau * f / kVoiceWavRate;
                v = 0.6 * std::sin(phase);
            }
            out[i] = static_cast<float>(v * envelope);
        }
    }
    return out;
}

inline std::string wavBytes(const std::vector<float>& samples) {
    std::string b;
    auto u32 = [&](std::uint32_t v) {
        for (int k = 0; k < 4; ++k) b += char(v >> (8 * k));
    };
    auto u16 = [&](std::uint16_t v) {
        b += char(v);
        b += char(v >> 8);
    };
    const auto data = static_cast<std::uint32_t>(samples.size() * 2);
    b += "RIFF";
    u32(36 + data);
    b += "WAVEfmt ";
    u32(16);
    u16(1);
    u16(1);
    u32(kVoiceWavRate);
    u32(kVoiceWavRate * 2);
    u16(2);
    u16(16);
    b += "data";
    u32(data);
    for (float s : samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        u16(static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
    return b;
}

inline void writeVoiceWav(const std::string& path, const std::vector<float>& samples) {
    writeFile(path, wavBytes(samples));
}

}  // namespace orba::test
