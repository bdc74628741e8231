#include "scoring/scorescreens.h"

#include <gtest/gtest.h>

#include "scoring/scoringrules.h"

namespace orba {
namespace {

MelodyReference twoLines(ReferenceKind kind = ReferenceKind::UltraStarNotes) {
    MelodyReference r;
    r.kind = kind;
    r.notes = {{0, 500, 60, 1, 0}, {500, 1000, 64, 1, 0}, {2000, 3000, 67, 1, 1}};
    return r;
}

TEST(LaneView, ShowsTheLineBeingSungElseTheNextElseTheLast) {
    const Scorer s(twoLines());
    EXPECT_EQ(laneViewAt(s, 700, 0).notes.size(), 2u);
    const LaneView between = laneViewAt(s, 1500, 0);
    ASSERT_EQ(between.notes.size(), 1u);
    EXPECT_EQ(between.notes[0].line, 1);
    EXPECT_EQ(between.fromMs, 2000 - 300);
    EXPECT_EQ(between.toMs, 3000 + 300);
    EXPECT_EQ(laneViewAt(s, 9000, 0).notes[0].line, 1);
}

TEST(LaneView, TheKeyMovesTheBarsAndTimingOnlyHasNoPitch) {
    const Scorer s(twoLines());
    EXPECT_EQ(laneViewAt(s, 0, -2).notes[1].key, 62);
    EXPECT_TRUE(laneViewAt(s, 0, 0).pitched);
    EXPECT_FALSE(laneViewAt(Scorer(twoLines(ReferenceKind::TimingOnly)), 0, 0).pitched);
}

TEST(LaneView, TracesOnlyTheLinesTimeUpToNow) {
    Scorer s(twoLines());
    for (int ms = 0; ms < 3000; ms += 100) s.add({ms, float(hzOfMidiKey(60)), 100}, 0);
    const LaneView v = laneViewAt(s, 2500, 0);
    ASSERT_FALSE(v.trace.empty());
    EXPECT_EQ(v.trace.front().ms, 1700);  // the lane's left edge
    EXPECT_EQ(v.trace.back().ms, 2500);
    // Sung between the notes: no credit either way.
    EXPECT_EQ(v.trace.front().credit, -1.0f);
}

TEST(Results, CountEachRating) {
    Scorer s(twoLines());
    for (int ms = 0; ms < 1000; ms += 10)
        s.add({ms, float(hzOfMidiKey(ms < 500 ? 60 : 64)), 10}, 0);
    s.finishAll();
    const ResultsView r = resultsOf(s, 4000);
    EXPECT_EQ(r.total, kFullScore / 2);
    EXPECT_EQ(r.perfect, 1);
    EXPECT_EQ(r.miss, 1);
    EXPECT_EQ(r.best, 4000);
    EXPECT_EQ(r.reference, "UltraStar notes");
}

}  // namespace
}  // namespace orba
