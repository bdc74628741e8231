// The timing of a Standard MIDI File: its ticks per quarter note, every tempo
// change and the tick of its last event, read from the bytes alone. Karaoke
// MIDI files change tempo all the time, so a song's length and the tick of a
// seek position both come from the whole tempo map.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

struct MidiTempoChange {
    std::uint32_t tick = 0;
    std::uint32_t microsPerQuarter = 500000;
    // Microseconds from the start of the song to this change, filled in by
    // parseMidiTempoMap: a time is then one search away, however many
    // changes come before it.
    double micros = 0;
};

struct MidiTempoMap {
    std::uint32_t division = 0;                 // ticks per quarter note
    std::uint32_t endTick = 0;                  // last event of the longest track
    std::vector<MidiTempoChange> tempoChanges;  // in tick order

    double msAtTick(std::uint32_t tick) const;
    std::uint32_t tickAtMs(double ms) const;
    // Milliseconds up to the last event, truncated.
    int lengthMs() const;
};

// A text meta event (type 1, text, or type 5, lyric) with its bytes as the
// file holds them: a view into the bytes given to parseMidiTempoMap, so that
// a million syllables cost no million strings.
struct MidiTextEvent {
    std::uint32_t tick = 0;
    int track = 0;  // index among the file's track chunks
    int type = 0;
    std::string_view bytes;
};

// A note starting or ending on a channel (0..15); a note-on of velocity 0 is
// an end, as the format has it.
struct MidiNoteEvent {
    std::uint32_t tick = 0;
    std::uint8_t channel = 0;
    std::uint8_t key = 0;
    bool on = false;
};

// MIDI files are small; no reader takes more of one than this.
inline constexpr std::size_t kMaxMidiBytes = 16 << 20;

// True when the bytes begin like a MIDI file ("MThd", or a RIFF RMID wrapper).
bool looksLikeMidi(std::string_view head);

// Whether a file plays as MIDI, through the synthesizer and on the song's own
// clock, with its lyrics read from its events: decided by its first bytes,
// whatever its name, and only here.
bool playsAsMidi(const std::string& file);

// The Standard MIDI File inside the bytes: the "data" chunk of a RIFF RMID
// file, else the bytes as they are.
std::string_view standardMidiData(std::string_view bytes);

// Reads the tempo map. Lengths written in the file are never trusted beyond
// the bytes that are there: a truncated track ends at its last whole event.
// Fails for a broken header, time-code (SMPTE) timing, or no track at all.
// With `texts`, the text and lyric events of every track are collected too,
// in tick order (file order among equal ticks); they point into `bytes`.
// With `notes`, every note's start and end, in tick order likewise.
std::optional<MidiTempoMap> parseMidiTempoMap(std::string_view bytes,
                                              std::vector<MidiTextEvent>* texts = nullptr,
                                              std::vector<MidiNoteEvent>* notes = nullptr);

}  // namespace orba
