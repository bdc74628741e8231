// What the singer is scored against: the notes of an UltraStar song, the
// melody channel of a MIDI song, or, for any other song with karaoke-timed
// lyrics, only the times of its syllables (voice during a syllable counts,
// its pitch does not). Times are the song's ms; each note knows its line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "lyrics/sungnote.h"

namespace orba {

enum class ReferenceKind { None, UltraStarNotes, MidiChannel, TimingOnly };

inline constexpr int kNoKey = -1;

struct RefNote {
    int startMs = 0;
    int endMs = 0;
    int key = kNoKey;  // MIDI key number; kNoKey: any voice counts
    double weight = 1;
    int line = 0;

    bool operator==(const RefNote&) const = default;
};

struct MelodyReference {
    ReferenceKind kind = ReferenceKind::None;
    int channel = 0;             // the MIDI channel (1..16) of a MidiChannel reference
    bool channelByMute = false;  // named by the melody-mute key rather than found
    std::vector<RefNote> notes;  // by start time
    // Why the song is scored for timing only, or not at all ("" otherwise).
    std::string note;
};

// A karaoke syllable of the lyric lines: from its tag to the next one.
struct LyricSyllable {
    int startMs = 0;
    int endMs = 0;
    int line = 0;

    bool operator==(const LyricSyllable&) const = default;
};

// The syllables of karaoke-tagged lines ("[mm:ss:cc]text[mm:ss:cc]..."):
// a segment with text between two times; the text after a line's last time
// runs to the next line's first. A line with one time only is timed as a
// whole and gives none.
std::vector<LyricSyllable> lyricSyllables(const std::vector<std::string>& lines);

// An UltraStar song's notes: golden notes weigh double, freestyle nothing,
// rap counts the voice without its pitch; a duet's second part is left out.
// Notes that overlap (out of order in the file) give timing only.
MelodyReference referenceFromSungNotes(const std::vector<SungNote>& notes,
                                       const std::vector<LyricSyllable>& syllables);

// A MIDI song's melody: see chooseMelodyChannel. Overlapping notes of the
// channel are cut where the next begins; notes outside the lyric lines
// (intro, interludes) are not sung. No melody found gives timing only.
MelodyReference referenceFromMidi(std::string_view fileBytes,
                                  const std::vector<LyricSyllable>& syllables, int muteChannel);

// Timing only: each syllable a note without pitch (none when there are none).
MelodyReference timingReference(const std::vector<LyricSyllable>& syllables, std::string note);

// "UltraStar notes", "MIDI channel 4", "timing only" or "none".
std::string referenceName(const MelodyReference& r);

}  // namespace orba
