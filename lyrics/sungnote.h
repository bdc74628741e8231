// The notes a song's syllables are sung on, when its lyric source knows them
// (an UltraStar song does): kept beside the lyric lines for whatever rates
// the singing, never read by the drawing.
#pragma once

#include <cstdint>

namespace orba {

enum class NoteKind : std::uint8_t { Normal, Golden, Freestyle, Rap, RapGolden };

struct SungNote {
    int startMs = 0;
    int lengthMs = 0;
    int pitch = 0;  // semitones from middle C (MIDI key 60)
    NoteKind kind = NoteKind::Normal;
    int line = 0;    // the lyric line it is sung in
    int singer = 0;  // 0 a song for one; 1 or 2 a duet's part, 3 both parts

    bool operator==(const SungNote&) const = default;
};

}  // namespace orba
