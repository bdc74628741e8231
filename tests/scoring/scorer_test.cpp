#include "scoring/scorer.h"

#include <gtest/gtest.h>

#include "scoring/scoringrules.h"

namespace orba {
namespace {

// Two lines: line 0 has two notes of 500 ms, line 1 one of 1000 ms.
MelodyReference twoLines() {
    MelodyReference r;
    r.kind = ReferenceKind::UltraStarNotes;
    r.notes = {{0, 500, 60, 1, 0}, {500, 1000, 64, 1, 0}, {2000, 3000, 67, 1, 1}};
    return r;
}

// A sample every 10 ms over the whole song at `hzAt(ms)`.
template <typename HzAt>
void sing(Scorer& s, HzAt hzAt, int keyShift = 0, int untilMs = 3200) {
    for (int ms = 0; ms < untilMs; ms += 10) s.add({ms, hzAt(ms), 10.0f}, keyShift);
}

float onKey(int ms, double shift = 0) {
    const int key = ms < 500 ? 60 : ms < 2000 ? 64 : 67;
    return static_cast<float>(hzOfMidiKey(key + shift));
}

TEST(Scorer, SingingEveryNoteGivesTenThousandInPerfectLines) {
    Scorer s(twoLines());
    sing(s, [](int ms) { return onKey(ms); });
    s.finishAll();
    EXPECT_EQ(s.total(), kFullScore);
    ASSERT_EQ(s.results().size(), 2u);
    EXPECT_STREQ(s.results()[0].rating, "Perfect");
    EXPECT_EQ(s.results()[0].points + s.results()[1].points, kFullScore);
    // Lines weigh by their notes' length: both 1000 ms here.
    EXPECT_EQ(s.results()[0].points, kFullScore / 2);
}

TEST(Scorer, AnOctaveDownScoresFullyASemitoneOffScoresNothing) {
    Scorer low(twoLines());
    sing(low, [](int ms) { return onKey(ms, -12); });
    low.finishAll();
    EXPECT_EQ(low.total(), kFullScore);

    Scorer off(twoLines());
    sing(off, [](int ms) { return onKey(ms, 1); });
    off.finishAll();
    EXPECT_EQ(off.total(), 0);
    EXPECT_STREQ(off.results()[0].rating, "Miss");
}

TEST(Scorer, SilenceScoresNothing) {
    Scorer s(twoLines());
    sing(s, [](int) { return 0.0f; });
    s.finishAll();
    EXPECT_EQ(s.total(), 0);
    EXPECT_TRUE(s.trace().empty());
}

TEST(Scorer, TheKeyShiftMovesTheNotes) {
    Scorer shifted(twoLines());
    sing(
        shifted, [](int ms) { return onKey(ms, 2); }, 2);
    shifted.finishAll();
    EXPECT_EQ(shifted.total(), kFullScore);

    Scorer unshifted(twoLines());
    sing(
        unshifted, [](int ms) { return onKey(ms); }, 2);
    unshifted.finishAll();
    EXPECT_EQ(unshifted.total(), 0);
}

TEST(Scorer, LinesAreRatedOnlyOnceTheirLastNoteIsOver) {
    Scorer s(twoLines());
    sing(
        s, [](int ms) { return onKey(ms); }, 0, 1200);
    s.finishUpTo(999);
    EXPECT_TRUE(s.results().empty());
    s.finishUpTo(1001);
    ASSERT_EQ(s.results().size(), 1u);
    EXPECT_EQ(s.results()[0].line, 0);
    EXPECT_EQ(s.total(), kFullScore / 2);
    EXPECT_FALSE(s.finished());
}

TEST(Scorer, HalfALineSungIsRatedBelowPerfect) {
    Scorer s(twoLines());
    // Only the first note of line 0, and nothing of line 1.
    sing(s, [](int ms) { return ms < 500 ? onKey(ms) : 0.0f; });
    s.finishAll();
    EXPECT_STREQ(s.results()[0].rating, "OK");
    EXPECT_EQ(s.total(), kFullScore / 4);
}

TEST(Scorer, TimingOnlyCountsAnyVoiceInsideTheSyllables) {
    MelodyReference r;
    r.kind = ReferenceKind::TimingOnly;
    r.notes = {{0, 1000, kNoKey, 1, 0}};
    Scorer s(r);
    sing(
        s, [](int) { return 123.0f; }, 0, 1000);
    s.finishAll();
    EXPECT_EQ(s.total(), kFullScore);
}

TEST(Scorer, SwitchedOnMidSongCountsOnlyWhatFollows) {
    Scorer s(twoLines(), 1500);
    EXPECT_EQ(s.lineCount(), 1);
    sing(s, [](int ms) { return onKey(ms); });
    s.finishAll();
    EXPECT_EQ(s.total(), kFullScore);
}

TEST(Scorer, GoldenNotesWeighDouble) {
    MelodyReference r = twoLines();
    r.notes[2].weight = 2;
    Scorer s(r);
    sing(s, [](int ms) { return ms >= 2000 ? onKey(ms) : 0.0f; });
    s.finishAll();
    EXPECT_EQ(s.total(), 6667);  // 2000 of 3000 weighed ms
}

}  // namespace
}  // namespace orba
