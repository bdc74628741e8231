#include <gtest/gtest.h>

#include "platform/profilefile.h"
#include "settings/settingsstore.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(SingerSave, TheSingerSectionFollowsTheLooksAndReadsBack) {
    TempDir dir;
    Settings s;
    s.textBack = 2;
    SingerControls singer{-3, 85, true, 4, 150};
    writePerSongFile(dir.file("a.mid"), s, singer);
    EXPECT_EQ(readFile(dir.file("a.oka")),
              "[Option]\nTextBack=2\n[Effect]\niNoiseT=0\niNoiseC=0\niBackT=1\n"
              "[Singer]\nKey=-3\nTempo=85\nVocalCut=1\nMelodyMute=4\nLyricOffset=150\n");
    EXPECT_EQ(readPerSongSinger(dir.file("a.mid")), singer);
}

TEST(SingerSave, AFileWrittenBeforeTheSectionExistedReadsNeutralAndKeepsItsOtherKeys) {
    TempDir dir;
    const std::string old =
        "; kept by hand\n[Option]\nTextBack=1\nOther=x\n[Effect]\niNoiseT=2\niNoiseC=0\niBackT=3\n";
    writeFile(dir.file("a.oka"), old);
    EXPECT_EQ(readPerSongSinger(dir.file("a.mp3")), SingerControls{});

    Settings s;
    applyPerSongFile(dir.file("a.mp3"), s);
    EXPECT_EQ(s.noiseType, 2);
    writePerSongFile(dir.file("a.mp3"), s, SingerControls{1, 100, false, 0, 0});
    const std::string now = readFile(dir.file("a.oka"));
    EXPECT_EQ(now.rfind(old, 0), 0u) << now;  // everything that was there stays, in place
    EXPECT_EQ(now.substr(old.size()),
              "[Singer]\nKey=1\nTempo=100\nVocalCut=0\nMelodyMute=0\nLyricOffset=0\n");
}

TEST(SingerSave, MissingOrWildValuesReadAsNeutralOrTheirLimit) {
    TempDir dir;
    EXPECT_EQ(readPerSongSinger(dir.file("none.mp3")), SingerControls{});
    writeFile(dir.file("b.oka"), "[singer]\ntempo=0\nKey=12\nLyricOffset=-9000\nMelodyMute=x\n");
    EXPECT_EQ(readPerSongSinger(dir.file("b.wav")), (SingerControls{6, 50, false, 0, -5000}));
}

TEST(SingerSave, TheLooksOnlyWriterLeavesASavedSingerSectionAlone) {
    TempDir dir;
    writePerSongFile(dir.file("a.mp3"), Settings{}, SingerControls{2, 90, false, 0, 0});
    writePerSongFile(dir.file("a.mp3"), Settings{});
    EXPECT_EQ(readPerSongSinger(dir.file("a.mp3")).tempo, 90);
}

}  // namespace
}  // namespace orba
