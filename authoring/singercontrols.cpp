#include "authoring/singercontrols.h"

#include <algorithm>

namespace orba {

namespace {

int signOf(int dir) {
    return (dir > 0) - (dir < 0);
}

// A value with its sign, zero without one.
std::string signedText(int v) {
    return v > 0 ? "+" + std::to_string(v) : std::to_string(v);
}

}  // namespace

SingerControls stepKey(SingerControls c, int dir) {
    c.key = std::clamp(c.key + signOf(dir), kKeyMin, kKeyMax);
    return c;
}

SingerControls stepTempo(SingerControls c, int dir) {
    c.tempo = std::clamp(c.tempo + signOf(dir) * kTempoStep, kTempoMin, kTempoMax);
    return c;
}

SingerControls toggleVocalCut(SingerControls c) {
    c.vocalCut = !c.vocalCut;
    return c;
}

SingerControls nextMelodyMute(SingerControls c) {
    c.melodyMute = c.melodyMute >= kMelodyChannels || c.melodyMute < 0 ? 0 : c.melodyMute + 1;
    return c;
}

SingerControls stepLyricOffset(SingerControls c, int dir, bool fine) {
    const int step = fine ? kLyricOffsetFineStep : kLyricOffsetStep;
    c.lyricOffset =
        std::clamp(c.lyricOffset + signOf(dir) * step, -kLyricOffsetLimit, kLyricOffsetLimit);
    return c;
}

SingerControls resetSinger() {
    return {};
}

std::string singerMessage(SingerControl control, const SingerControls& c, bool midi) {
    switch (control) {
        case SingerControl::Key:
            return "Key : " + signedText(c.key);
        case SingerControl::Tempo:
            return "Tempo : " + std::to_string(c.tempo) + "%";
        case SingerControl::VocalCut:
            if (midi) return "VocalCut : -";
            return c.vocalCut ? "VocalCut : 1" : "VocalCut : 0";
        case SingerControl::MelodyMute:
            return "MelodyMute : " + std::to_string(c.melodyMute);
        case SingerControl::LyricOffset:
            return "LyricOffset : " + signedText(c.lyricOffset);
        case SingerControl::Reset:
            return "SingerReset";
    }
    return {};
}

}  // namespace orba
