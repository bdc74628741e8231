#include "scoring/melody.h"

#include <gtest/gtest.h>

#include "tests/support/midiwriter.h"

namespace orba {
namespace {

TEST(LyricSyllables, EachTimedTextIsASyllableEndingAtTheNextTime) {
    const std::vector<std::string> lines{"[00:01:00]ma[00:01:50]do[00:02:00]",
                                         "[00:03:00]wo [00:03:40] [00:03:60]a"};
    const std::vector<LyricSyllable> s = lyricSyllables(lines);
    ASSERT_EQ(s.size(), 4u);
    EXPECT_EQ(s[0], (LyricSyllable{1000, 1500, 0}));
    EXPECT_EQ(s[1], (LyricSyllable{1500, 2000, 0}));
    // A blank segment is no syllable; the line's last text lasts a moment.
    EXPECT_EQ(s[2], (LyricSyllable{3000, 3400, 1}));
    EXPECT_EQ(s[3].startMs, 3600);
    EXPECT_GT(s[3].endMs, s[3].startMs);
}

TEST(LyricSyllables, PlainAndLineTimedLinesHaveNone) {
    EXPECT_TRUE(lyricSyllables({"plain text", "[not a tag]"}).empty());
    EXPECT_TRUE(lyricSyllables({"[00:01:00]a whole line", "[00:04:00]next"}).empty());
    // A title line between karaoke lines ends the syllable before it.
    const std::vector<LyricSyllable> s =
        lyricSyllables({"[00:01:00]la[00:01:50]li", "[00:03:00]~ title ~", "[00:05:00]lu[00:05:40]"});
    ASSERT_EQ(s.size(), 3u);
    EXPECT_EQ(s[1], (LyricSyllable{1500, 3000, 0}));
    EXPECT_EQ(s[2], (LyricSyllable{5000, 5400, 2}));
}

std::vector<SungNote> notes() {
    return {{1000, 400, 0, NoteKind::Normal, 0, 0},
            {1400, 400, 2, NoteKind::Golden, 0, 0},
            {1800, 400, 4, NoteKind::Freestyle, 0, 0},
            {3000, 400, 5, NoteKind::Rap, 1, 0},
            {3000, 400, 9, NoteKind::Normal, 1, 2}};
}

TEST(SungNoteReference, KindsWeighAndDuetsSecondPartIsLeftOut) {
    const MelodyReference r = referenceFromSungNotes(notes(), {});
    EXPECT_EQ(r.kind, ReferenceKind::UltraStarNotes);
    ASSERT_EQ(r.notes.size(), 3u);
    EXPECT_EQ(r.notes[0], (RefNote{1000, 1400, 60, 1.0, 0}));
    EXPECT_EQ(r.notes[1].weight, 2.0);
    EXPECT_EQ(r.notes[1].key, 62);
    EXPECT_EQ(r.notes[2].key, kNoKey);  // rap: the voice, not its pitch
    EXPECT_EQ(r.notes[2].line, 1);
}

TEST(SungNoteReference, NotesOutOfOrderAreScoredForTimingAndSaySo) {
    std::vector<SungNote> n = notes();
    std::swap(n[0], n[1]);
    const std::vector<LyricSyllable> syllables{{1000, 1400, 0}, {1400, 1800, 0}};
    const MelodyReference r = referenceFromSungNotes(n, syllables);
    EXPECT_EQ(r.kind, ReferenceKind::TimingOnly);
    EXPECT_NE(r.note.find("out of order"), std::string::npos);
    EXPECT_EQ(r.notes.size(), 2u);
    EXPECT_EQ(referenceName(r), "timing only");
}

// 120 bpm, 480 ticks a quarter: a quarter is 500 ms. Lyrics at 1 s, 1.5 s,
// 2 s; the melody on channel 3 under them, a bass on channel 1 off the beat,
// and an intro of the melody before the lyrics.
std::string song(bool withMelody = true) {
    test::MidiWriter w(480, 2);
    w.tempo(0, 0, 500000);
    if (withMelody) {
        w.note(1, 0, 480, 72, 2);  // intro, not sung
        w.note(1, 960, 480, 64, 2).note(1, 1440, 480, 65, 2).note(1, 1920, 480, 67, 2);
    }
    // The bass between the syllables.
    for (std::uint32_t t = 240; t < 2880; t += 960) w.note(1, t, 480, 40, 0);
    for (int k = 0; k < 3; ++k) w.note(1, 1000 + 100 * k, 200, 36, 9);  // drums
    return w.bytes();
}

const std::vector<LyricSyllable> kSyllables{{1000, 1500, 0}, {1500, 2000, 0}, {2000, 2500, 1}};

TEST(MidiReference, TheChannelUnderTheSyllablesIsTheMelody) {
    const MelodyReference r = referenceFromMidi(song(), kSyllables, 0);
    EXPECT_EQ(r.kind, ReferenceKind::MidiChannel);
    EXPECT_EQ(r.channel, 3);
    EXPECT_FALSE(r.channelByMute);
    EXPECT_EQ(referenceName(r), "MIDI channel 3");
    ASSERT_EQ(r.notes.size(), 3u);  // the intro note is not sung
    EXPECT_EQ(r.notes[0], (RefNote{1000, 1500, 64, 1.0, 0}));
    EXPECT_EQ(r.notes[2].line, 1);
}

TEST(MidiReference, TheMutedChannelIsTakenAsTheMelody) {
    const MelodyReference r = referenceFromMidi(song(), kSyllables, 1);
    EXPECT_EQ(r.channel, 1);
    EXPECT_TRUE(r.channelByMute);
}

TEST(MidiReference, NoMelodicNotesGivesTimingOnlyAndSaysWhy) {
    test::MidiWriter w(480);
    w.text(0, 0, 5, "a");
    const MelodyReference none = referenceFromMidi(w.bytes(), kSyllables, 0);
    EXPECT_EQ(none.kind, ReferenceKind::TimingOnly);
    EXPECT_EQ(none.note, "the MIDI file has no melodic notes");

    const MelodyReference bassOnly = referenceFromMidi(song(false), kSyllables, 0);
    EXPECT_EQ(bassOnly.kind, ReferenceKind::TimingOnly);
    EXPECT_FALSE(bassOnly.note.empty());
}

TEST(MidiReference, NoLyricTimingAndNoMelodyLeavesNothingToScore) {
    const MelodyReference r = referenceFromMidi("not midi", {}, 0);
    EXPECT_EQ(r.kind, ReferenceKind::None);
    EXPECT_FALSE(r.note.empty());
}

}  // namespace
}  // namespace orba
