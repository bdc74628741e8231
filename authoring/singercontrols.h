// The singer's commands as pure steps over SingerControls, and the status
// message each one shows. A step at the end of its range stays there (and
// still shows its message, so the singer sees the limit); the melody mute
// goes round: off, channel 1 .. 16, off.
#pragma once

#include <string>

#include "settings/singervalues.h"

namespace orba {

inline constexpr int kTempoStep = 5;
inline constexpr int kLyricOffsetStep = 50;
inline constexpr int kLyricOffsetFineStep = 10;

// `dir` is +1 (up, later) or -1 (down, earlier); other values count as their sign.
SingerControls stepKey(SingerControls c, int dir);
SingerControls stepTempo(SingerControls c, int dir);
SingerControls toggleVocalCut(SingerControls c);
SingerControls nextMelodyMute(SingerControls c);
// `fine` is the 10 ms step (with Shift).
SingerControls stepLyricOffset(SingerControls c, int dir, bool fine);
SingerControls resetSinger();

enum class SingerControl { Key, Tempo, VocalCut, MelodyMute, LyricOffset, Reset };

// "Key : +2", "Tempo : 90%", "VocalCut : 1", "MelodyMute : 4",
// "LyricOffset : +150", "SingerReset". A MIDI song has no recorded voice to
// cut: its vocal cut message is "VocalCut : -".
std::string singerMessage(SingerControl control, const SingerControls& c, bool midi);

}  // namespace orba
