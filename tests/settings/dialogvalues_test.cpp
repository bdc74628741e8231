#include "settings/dialogvalues.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/profilefile.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(DialogValues, TransparencyListFollowsTheStoredOpacity) {
    struct Case {
        int opacity;
        int index;
        int written;
    };
    const Case cases[] = {
        {100, 0, 100},
        {90, 1, 90},
        {55, 5, 50},
        {10, 9, 10},
        {105, 0, 100},
        // No item: the stored value goes back as it was.
        {5, -1, 5},
        {0, -1, 0},
        {-5, -1, -5},
        {200, -1, 200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.opacity);
        const int index = transparencyIndexFor(c.opacity);
        EXPECT_EQ(index, c.index);
        EXPECT_EQ(opacityFor(index, c.opacity), c.written);
    }
}

TEST(DialogValues, SlideTimeBecomesAClampedSliderPosition) {
    const std::pair<int, int> cases[] = {
        {5000, 50}, {3700, 37}, {3799, 37},   {500, 5},     {50, 5},
        {0, 5},     {-300, 5},  {10000, 100}, {99999, 100},
    };
    for (auto [time, position] : cases) {
        SCOPED_TRACE(time);
        EXPECT_EQ(slidePositionFor(time), position);
    }
    EXPECT_EQ(slidePanelCaption(10), "1000 ");
    EXPECT_EQ(slidePanelCaption(5), "500 ");
}

TEST(DialogValues, NoSettingsFileGivesTheDialogDefaults) {
    TempDir dir;
    const DialogValues v = readDialogValues(ProfileFile(dir.file("none.ini")));
    EXPECT_EQ(v, DialogValues{});
    // Unlike the main window, the dialog starts with the text shown.
    EXPECT_TRUE(v.music.useMessage);
}

TEST(DialogValues, ValuesOutsideEveryControlAreDroppedOrClamped) {
    TempDir dir;
    writeFile(dir.file("s.ini"),
              "[Option]\nWipeStyle=5\nGazStyle=9\nTextBack=-1\n"
              "[Effect]\niNoiseT=4\niNoiseC=3\niBackT=5\niFSizePer=1000\niTextTiming=-5000\n"
              "iSlideTime=50\n"
              "[Transp]\nbTransB=7\nbTransA=55\n");
    writeFile(dir.file("low.ini"), "[Effect]\niFSizePer=10\niTextTiming=9000\n");
    const DialogValues low = readDialogValues(ProfileFile(dir.file("low.ini")));
    EXPECT_EQ(low.fontSizePercent, 50);
    EXPECT_EQ(low.textTiming, 2000);
    const DialogValues v = readDialogValues(ProfileFile(dir.file("s.ini")));
    EXPECT_EQ(v.wipeStyle, -1);
    EXPECT_EQ(v.imageStyle, -1);
    EXPECT_EQ(v.textBack, -1);
    EXPECT_EQ(v.noiseType, -1);
    EXPECT_EQ(v.noiseColor, -1);
    EXPECT_EQ(v.backgroundType, -1);
    EXPECT_EQ(v.fontSizePercent, 300);
    EXPECT_EQ(v.textTiming, -2000);
    EXPECT_EQ(v.slidePosition, 5);
    EXPECT_TRUE(v.darkTransparency);
    EXPECT_EQ(v.transparency, 5);
}

TEST(DialogValues, TheWriterStoresEveryKeyInItsOrder) {
    TempDir dir;
    DialogValues v;
    v.music.useBgm = true;
    v.music.bgmFile = "/m/曲 1.mp3";
    v.music.messageFile = "/m/曲 1_t.txt";
    v.music.imageFolder = "/m/okaraimg/";
    v.wipeStyle = -1;
    v.imageStyle = 5;
    v.fontName = "IPAGothic";
    v.textTiming = -300;
    v.slidePosition = 37;
    v.darkTransparency = true;
    v.transparency = 3;
    {
        ProfileFile f(dir.file("s.ini"));
        writeDialogValues(f, v);
    }
    EXPECT_EQ(readFile(dir.file("s.ini")),
              "[Option]\nUseBGM=1\nBGM=/m/曲 1.mp3\nUseMessage=1\nMESSAGE=/m/曲 1_t.txt\n"
              "UseGaz=0\nMonoChro=0\nImages=/m/okaraimg/\nWipeStyle=-1\nGazStyle=5\nTextBack=0\n"
              "[Effect]\niNoiseT=0\niNoiseC=0\nbFontSP=0\nsFontNM=IPAGothic\nbFontBL=1\n"
              "bFontIT=0\nbFontUL=0\niFSizePer=120\niTextTiming=-300\niBackT=1\niSlideTime=3700\n"
              "[Transp]\nbTransB=1\nbTransA=70\n"
              "[Karaoke]\nbTimeForce=1\nbNoKaraoke=0\n");
    // What the writer stores, the dialog reads back unchanged.
    EXPECT_EQ(readDialogValues(ProfileFile(dir.file("s.ini"))), [&] {
        DialogValues back = v;
        back.storedOpacity = 70;
        return back;
    }());
}

TEST(DialogValues, ARefusedWriteStopsTheWriterWithTheFilesName) {
    TempDir dir;
    const std::string path = dir.file("s.ini");
    writeFile(path, "[Option]\nUseBGM=0\n");
    ::chmod(path.c_str(), 0444);
    ProfileFile f(path);
    try {
        writeDialogValues(f, DialogValues{});
        FAIL() << "the writer reported success";
    } catch (const ProfileWriteError& e) {
        EXPECT_EQ(std::string(e.what()), path + " に書き込めません");
    }
    EXPECT_EQ(readFile(path), "[Option]\nUseBGM=0\n");
}

}  // namespace
}  // namespace orba
