#include "authoring/singercontrols.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(SingerControls, KeyStepsBySemitonesAndStopsAtSixEitherWay) {
    SingerControls c;
    for (int i = 0; i < 8; ++i) c = stepKey(c, +1);
    EXPECT_EQ(c.key, 6);
    for (int i = 0; i < 20; ++i) c = stepKey(c, -1);
    EXPECT_EQ(c.key, -6);
    EXPECT_EQ(stepKey(SingerControls{}, +3).key, 1);  // a step is one semitone, whatever the count
}

TEST(SingerControls, TempoStepsByFiveBetweenHalfAndOneAndAHalf) {
    SingerControls c;
    c = stepTempo(c, -1);
    EXPECT_EQ(c.tempo, 95);
    for (int i = 0; i < 20; ++i) c = stepTempo(c, -1);
    EXPECT_EQ(c.tempo, 50);
    for (int i = 0; i < 30; ++i) c = stepTempo(c, +1);
    EXPECT_EQ(c.tempo, 150);
}

TEST(SingerControls, MelodyMuteGoesOffThenEachChannelThenOffAgain) {
    SingerControls c;
    for (int channel = 1; channel <= 16; ++channel) {
        c = nextMelodyMute(c);
        EXPECT_EQ(c.melodyMute, channel);
    }
    EXPECT_EQ(nextMelodyMute(c).melodyMute, 0);
    c.melodyMute = 40;  // out of range, e.g. a hand-edited file
    EXPECT_EQ(nextMelodyMute(c).melodyMute, 0);
}

TEST(SingerControls, LyricOffsetStepsFiftyOrTenWithinFiveSeconds) {
    SingerControls c;
    c = stepLyricOffset(c, +1, false);
    c = stepLyricOffset(c, +1, false);
    c = stepLyricOffset(c, +1, true);
    EXPECT_EQ(c.lyricOffset, 110);
    c = stepLyricOffset(c, -1, true);
    EXPECT_EQ(c.lyricOffset, 100);
    c.lyricOffset = 4990;
    EXPECT_EQ(stepLyricOffset(c, +1, false).lyricOffset, 5000);
    c.lyricOffset = -4995;
    EXPECT_EQ(stepLyricOffset(c, -1, true).lyricOffset, -5000);
}

TEST(SingerControls, VocalCutTogglesAndResetReturnsEverythingToNeutral) {
    SingerControls c{3, 80, false, 4, -200};
    c = toggleVocalCut(c);
    EXPECT_TRUE(c.vocalCut);
    EXPECT_FALSE(toggleVocalCut(c).vocalCut);
    EXPECT_EQ(resetSinger(), (SingerControls{0, 100, false, 0, 0}));
}

TEST(SingerControls, MessagesShowSignedKeysAndOffsetsPercentsAndSwitches) {
    struct Case {
        SingerControl control;
        SingerControls c;
        bool midi;
        const char* text;
    };
    const Case cases[] = {
        {SingerControl::Key, {2, 100, false, 0, 0}, false, "Key : +2"},
        {SingerControl::Key, {0, 100, false, 0, 0}, false, "Key : 0"},
        {SingerControl::Key, {-3, 100, false, 0, 0}, true, "Key : -3"},
        {SingerControl::Tempo, {0, 90, false, 0, 0}, false, "Tempo : 90%"},
        {SingerControl::VocalCut, {0, 100, true, 0, 0}, false, "VocalCut : 1"},
        {SingerControl::VocalCut, {0, 100, false, 0, 0}, false, "VocalCut : 0"},
        {SingerControl::VocalCut, {0, 100, true, 0, 0}, true, "VocalCut : -"},
        {SingerControl::MelodyMute, {0, 100, false, 4, 0}, true, "MelodyMute : 4"},
        {SingerControl::MelodyMute, {0, 100, false, 0, 0}, true, "MelodyMute : 0"},
        {SingerControl::LyricOffset, {0, 100, false, 0, 150}, false, "LyricOffset : +150"},
        {SingerControl::LyricOffset, {0, 100, false, 0, -50}, false, "LyricOffset : -50"},
        {SingerControl::LyricOffset, {0, 100, false, 0, 0}, false, "LyricOffset : 0"},
        {SingerControl::Reset, {}, false, "SingerReset"},
    };
    for (const Case& k : cases) EXPECT_EQ(singerMessage(k.control, k.c, k.midi), k.text);
}

TEST(SingerControls, ClampingPullsAHandEditedValueIntoItsRange) {
    EXPECT_EQ(clampedSinger({-40, 0, true, 99, 99999}), (SingerControls{-6, 50, true, 16, 5000}));
    EXPECT_EQ(clampedSinger({9, 1000, false, -2, -99999}),
              (SingerControls{6, 150, false, 0, -5000}));
}

}  // namespace
}  // namespace orba
