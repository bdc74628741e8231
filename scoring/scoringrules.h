// The decisions of singing scoring, as pure functions: how far a sung pitch
// is from a note (octaves folded away), how much a sample earns, a line's
// rating and its points out of the song's 10,000, and which MIDI channel
// carries the melody.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace orba {

inline constexpr int kFullScore = 10000;
// A sample this close to the note earns fully; credit falls to nothing at
// kNoCreditCents, so a voice a semitone off earns none while a vibrato of a
// quarter tone either way still earns everything.
inline constexpr double kFullCreditCents = 50.0;
inline constexpr double kNoCreditCents = 90.0;
// Of a note's length, this share sung well earns the whole note: the attack
// of a syllable (consonants, the tracker's window filling) has no pitch.
inline constexpr double kNoteShareForFull = 0.8;

// The MIDI key number (fractional) of a frequency.
double midiKeyOfHz(double hz);
// The frequency of a MIDI key number.
double hzOfMidiKey(double key);

// Cents from `key` to the sung pitch, folded into -600..600: a singer an
// octave (or two) away from the melody is as close as the same pitch class.
double foldedCents(double sungKey, double key);

// What one voiced sample earns, 0..1, by its folded error.
double pitchCredit(double foldedCentsError);

// A line's rating by the share of its notes sung well (0..1): "Perfect",
// "Great", "Good", "OK", else "Miss".
const char* lineRating(double share);

// Points so far: the song's 10,000 split over the weight of all its notes,
// `earned` of `total` weight sung. Lines take the difference of two of
// these, so their points always add up to the total shown.
int pointsFor(double earned, double total);

// How a note's credit (ms sung well) becomes its share, 0..1.
double noteShare(double creditMs, int lengthMs);

// The notes of one MIDI channel, start times in ms.
struct ChannelOnsets {
    int channel = 0;  // 1..16
    std::vector<int> onsetsMs;
};

struct MelodyChoice {
    int channel = 0;      // 1..16; 0 none
    bool byMute = false;  // the melody-mute key named it
};

// The melody: the channel the melody-mute key names (1..16) when it has
// notes, else the channel whose note starts meet most syllable times (within
// 80 ms), if it meets at least a third of them; the drum channel 10 never.
MelodyChoice chooseMelodyChannel(const std::vector<ChannelOnsets>& channels,
                                 const std::vector<int>& syllablesMs, int muteChannel);

}  // namespace orba
