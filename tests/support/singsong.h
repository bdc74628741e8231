// A short MIDI song to sing in the scoring tests: four lines of four
// syllables at 120 bpm, a note every half second from 2 s on, the melody on
// channel 2 over chords on channel 1 and drums on 10.
#pragma once

#include <string>
#include <vector>

#include "tests/support/midiwriter.h"
#include "tests/support/voicewriter.h"

namespace orba::test {

inline constexpr int kSingSongNotes = 16;

inline std::vector<SungTone> singSongMelody() {
    const int keys[kSingSongNotes] = {67, 69, 71, 72, 74, 72, 71, 69,
                                      67, 64, 65, 67, 69, 67, 65, 64};
    std::vector<SungTone> notes;
    for (int i = 0; i < kSingSongNotes; ++i) {
        const int line = i / 4;
        const int start = 2000 + line * 2500 + (i % 4) * 500;
        notes.push_back({start, start + 450, keys[i]});
    }
    return notes;
}

inline std::string singSongMidi() {
    MidiWriter w(480, 2);
    w.tempo(0, 0, 500000);
    const std::vector<SungTone> melody = singSongMelody();
    const char* syllables[kSingSongNotes] = {"la", "li", "lu", "le", "ka", "ki", "ku", "ke",
                                             "ta", "ti", "tu", "te", "na", "ni", "nu", "ne"};
    for (int i = 0; i < kSingSongNotes; ++i) {
        const auto tick = static_cast<std::uint32_t>(melody[i].startMs * 480 / 500);
        w.note(1, tick, 432, melody[i].key, 1);
        w.text(0, tick, 5, (i % 4 == 0 && i ? "/" : "") + std::string(syllables[i]));
    }
    // The band plays on for a bar after the last line: 14 s in all.
    for (std::uint32_t t = 0; t < 14 * 960; t += 960) {
        w.note(1, t, 900, 48, 0).note(1, t, 900, 55, 0);
        w.note(1, t, 100, 36, 9);
    }
    return w.bytes();
}

}  // namespace orba::test
