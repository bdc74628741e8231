// What a singer sets for one song: the key, the tempo, the vocal cut, the
// muted melody channel of a MIDI song and the lyric offset. The per-song
// file remembers them; the player's keys step them (authoring/singercontrols.h)
// and the media device and the lyric clock carry them out.
#pragma once

#include <algorithm>

namespace orba {

inline constexpr int kKeyMin = -6;  // semitones
inline constexpr int kKeyMax = 6;
inline constexpr int kTempoMin = 50;  // percent of the song's own tempo
inline constexpr int kTempoMax = 150;
inline constexpr int kTempoNeutral = 100;
inline constexpr int kMelodyChannels = 16;      // MIDI channels 1..16; 0 mutes none
inline constexpr int kLyricOffsetLimit = 5000;  // ms either way

struct SingerControls {
    int key = 0;
    int tempo = kTempoNeutral;
    bool vocalCut = false;
    int melodyMute = 0;
    int lyricOffset = 0;  // ms; positive shows the lyrics later

    bool operator==(const SingerControls&) const = default;
};

// Every value pulled into its range: a hand-edited file must not ask the
// device for a tempo of zero or a channel that does not exist.
inline SingerControls clampedSinger(SingerControls c) {
    c.key = std::clamp(c.key, kKeyMin, kKeyMax);
    c.tempo = std::clamp(c.tempo, kTempoMin, kTempoMax);
    c.melodyMute = std::clamp(c.melodyMute, 0, kMelodyChannels);
    c.lyricOffset = std::clamp(c.lyricOffset, -kLyricOffsetLimit, kLyricOffsetLimit);
    return c;
}

}  // namespace orba
