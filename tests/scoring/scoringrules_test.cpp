#include "scoring/scoringrules.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(FoldedCents, OctavesAwayAreTheSamePitchClass) {
    EXPECT_NEAR(foldedCents(57.0, 69.0), 0.0, 1e-9);  // a man an octave down
    EXPECT_NEAR(foldedCents(45.0, 69.0), 0.0, 1e-9);  // two octaves
    EXPECT_NEAR(foldedCents(81.0, 69.0), 0.0, 1e-9);  // a child an octave up
    EXPECT_NEAR(foldedCents(70.0, 69.0), 100.0, 1e-9);
    EXPECT_NEAR(foldedCents(56.0, 69.0), -100.0, 1e-9);  // an octave down and a semitone flat
    EXPECT_NEAR(foldedCents(68.8, 69.0), -20.0, 1e-9);
}

TEST(FoldedCents, StaysWithinHalfAnOctave) {
    for (double d = -30; d <= 30; d += 0.37) {
        const double c = foldedCents(60.0 + d, 60.0);
        EXPECT_LE(c, 600.0);
        EXPECT_GE(c, -600.0);
    }
}

TEST(PitchCredit, VibratoEarnsFullySemitoneOffEarnsNothing) {
    EXPECT_EQ(pitchCredit(0), 1.0);
    EXPECT_EQ(pitchCredit(-45), 1.0);
    EXPECT_EQ(pitchCredit(kFullCreditCents), 1.0);
    EXPECT_GT(pitchCredit(70), 0.0);
    EXPECT_LT(pitchCredit(70), 1.0);
    EXPECT_EQ(pitchCredit(100), 0.0);
    EXPECT_EQ(pitchCredit(-100), 0.0);
    EXPECT_EQ(pitchCredit(600), 0.0);
}

TEST(FrequencyKeys, A440IsKey69AndTheyInvert) {
    EXPECT_NEAR(midiKeyOfHz(440.0), 69.0, 1e-9);
    EXPECT_NEAR(midiKeyOfHz(261.6255653), 60.0, 1e-6);
    for (double key : {30.0, 60.5, 96.0}) EXPECT_NEAR(midiKeyOfHz(hzOfMidiKey(key)), key, 1e-9);
}

TEST(LineRating, SharesGiveTheFourRatingsAndMissBelow) {
    struct Case {
        double share;
        const char* rating;
    };
    for (const Case& c :
         {Case{1.0, "Perfect"}, Case{0.9, "Perfect"}, Case{0.89, "Great"}, Case{0.75, "Great"},
          Case{0.6, "Good"}, Case{0.4, "OK"}, Case{0.2, "Miss"}, Case{0.0, "Miss"}})
        EXPECT_STREQ(lineRating(c.share), c.rating) << c.share;
}

TEST(Points, EveryThingSungIsTenThousandAndDifferencesAddUp) {
    EXPECT_EQ(pointsFor(7, 7), kFullScore);
    EXPECT_EQ(pointsFor(0, 7), 0);
    EXPECT_EQ(pointsFor(1, 0), 0);
    EXPECT_EQ(pointsFor(9, 7), kFullScore);  // never above
    // Three lines of a third each: the differences of the running totals sum to the total.
    int sum = 0;
    for (int i = 1; i <= 3; ++i) sum += pointsFor(i, 3) - pointsFor(i - 1, 3);
    EXPECT_EQ(sum, kFullScore);
}

TEST(NoteShare, MostOfTheNoteSungWellIsAll) {
    EXPECT_EQ(noteShare(400, 500), 1.0);
    EXPECT_EQ(noteShare(500, 500), 1.0);
    EXPECT_NEAR(noteShare(200, 500), 0.5, 1e-9);
    EXPECT_EQ(noteShare(0, 500), 0.0);
    EXPECT_EQ(noteShare(10, 0), 0.0);
}

TEST(MelodyChannel, TheMutedChannelWinsWhenItHasNotes) {
    const std::vector<ChannelOnsets> channels{{1, {0, 500, 1000}}, {4, {3000}}};
    const MelodyChoice c = chooseMelodyChannel(channels, {0, 500, 1000}, 4);
    EXPECT_EQ(c.channel, 4);
    EXPECT_TRUE(c.byMute);
    // A muted channel without notes names nothing: the lyrics decide.
    const MelodyChoice d = chooseMelodyChannel(channels, {0, 500, 1000}, 7);
    EXPECT_EQ(d.channel, 1);
    EXPECT_FALSE(d.byMute);
}

TEST(MelodyChannel, TheChannelMeetingTheSyllablesWins) {
    const std::vector<int> syllables{1000, 1500, 2000, 2500};
    const std::vector<ChannelOnsets> channels{
        {1, {0, 1000, 2000, 3000}},           // the bass, on the beat
        {2, {1010, 1490, 2030, 2540, 4000}},  // the melody, a little off the grid
        {10, {1000, 1500, 2000, 2500}},       // drums meet everything and never sing
    };
    EXPECT_EQ(chooseMelodyChannel(channels, syllables, 0).channel, 2);
}

TEST(MelodyChannel, NoneWhenTooFewSyllablesAreMet) {
    const std::vector<ChannelOnsets> channels{{3, {100, 5000}}};
    EXPECT_EQ(chooseMelodyChannel(channels, {1000, 2000, 3000, 4000, 5000, 6000, 7000}, 0).channel,
              0);
    EXPECT_EQ(chooseMelodyChannel(channels, {}, 0).channel, 0);
    EXPECT_EQ(chooseMelodyChannel({}, {1000}, 0).channel, 0);
}

}  // namespace
}  // namespace orba
