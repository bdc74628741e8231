#include "settings/settingsstore.h"

#include <gtest/gtest.h>

#include "platform/profilefile.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(SettingsStore, AMissingFileGivesEveryDefault) {
    TempDir dir;
    ProfileFile f(dir.file("ORBAKARAOKE.ini"));
    StoredSettings s = readSettings(f);
    EXPECT_FALSE(s.stayOnTop);
    const Settings& v = s.settings;
    EXPECT_EQ(v, Settings{});
    // The defaults that decide how a first start looks.
    EXPECT_EQ(v.wipeStyle, 1);
    EXPECT_EQ(v.volume, 20);
    EXPECT_TRUE(v.showNext);
    EXPECT_TRUE(v.folderRepeat);
    EXPECT_TRUE(v.fontBold);
    EXPECT_EQ(v.fontSizePercent, 120);
    EXPECT_EQ(v.backgroundType, 1);
    EXPECT_EQ(v.slideTime, 5000);
    EXPECT_EQ(v.imageOpacity, 100);
    EXPECT_TRUE(v.timeForce);
    EXPECT_FALSE(v.useMessage);
}

TEST(SettingsStore, EveryKeyIsReadFromItsSection) {
    TempDir dir;
    writeFile(dir.file("s.ini"),
              "[Form]\nStayOnTop=1\n"
              "[Option]\nUseBGM=1\nBGM=/m/a.mp3\nUseMessage=1\nMESSAGE=/m/a.txt\nUseGaz=1\n"
              "Images=/m/okaraimg/\nMonoChro=1\nGazStyle=3\nWipeStyle=0\nSetVolume=1\nVolume=55\n"
              "TextBack=2\nshowNext=0\nbFRepeat=0\n"
              "[Effect]\niNoiseT=1\niNoiseC=2\nbFontSP=1\nsFontNM=Arial\nbFontBL=0\nbFontIT=1\n"
              "bFontUL=1\niFSizePer=150\niTextTiming=-300\niBackT=4\niSlideTime=50\n"
              "[Transp]\nbTransB=1\nbTransA=70\n"
              "[Karaoke]\nbTimeForce=0\nbNoKaraoke=1\n");
    StoredSettings s = readSettings(ProfileFile(dir.file("s.ini")));
    Settings e;
    e.useBgm = true;
    e.bgmFile = "/m/a.mp3";
    e.useMessage = true;
    e.messageFile = "/m/a.txt";
    e.useImages = true;
    e.imageFolder = "/m/okaraimg/";
    e.monoChrome = true;
    e.imageStyle = 3;
    e.wipeStyle = 0;
    e.setVolume = true;
    e.volume = 55;
    e.textBack = 2;
    e.showNext = false;
    e.folderRepeat = false;
    e.noiseType = 1;
    e.noiseColor = 2;
    e.fontSpecified = true;
    e.fontName = "Arial";
    e.fontBold = false;
    e.fontItalic = true;
    e.fontUnderline = true;
    e.fontSizePercent = 150;
    e.textTiming = -300;
    e.backgroundType = 4;
    e.slideTime = 50;
    e.darkTransparency = 1;
    e.imageOpacity = 70;
    e.timeForce = false;
    e.noKaraoke = true;
    EXPECT_TRUE(s.stayOnTop);
    EXPECT_EQ(s.settings, e);
}

TEST(SettingsStore, WindowStateWritesItsSixKeysInOrder) {
    TempDir dir;
    ProfileFile f(dir.file("s.ini"));
    WindowState w{true, 0, 3, 5, false, false};
    writeWindowState(f, w);
    EXPECT_EQ(readFile(dir.file("s.ini")),
              "[Form]\nStayOnTop=1\n[Option]\nWipeStyle=0\nTextBack=3\nGazStyle=5\n"
              "showNext=0\nbFRepeat=0\n");
    StoredSettings back = readSettings(ProfileFile(dir.file("s.ini")));
    EXPECT_TRUE(back.stayOnTop);
    EXPECT_EQ(back.settings.textBack, 3);
    EXPECT_EQ(back.settings.imageStyle, 5);
    EXPECT_FALSE(back.settings.folderRepeat);
}

TEST(SettingsStore, PerSongFileReplacesOnlyTheKeysItHolds) {
    TempDir dir;
    writeFile(dir.file("a.oka"), "[Option]\nTextBack=2\n");
    Settings s;
    s.noiseType = 3;
    s.backgroundType = 4;
    applyPerSongFile(dir.file("a.mp3"), s);
    EXPECT_EQ(s.textBack, 2);
    EXPECT_EQ(s.noiseType, 3);
    EXPECT_EQ(s.backgroundType, 4);

    // a.wav shares a.oka; a song without one keeps everything.
    Settings t;
    applyPerSongFile(dir.file("a.wav"), t);
    EXPECT_EQ(t.textBack, 2);
    Settings u;
    applyPerSongFile(dir.file("b.mp3"), u);
    EXPECT_EQ(u, Settings{});
}

TEST(SettingsStore, MascotPictureLiesInTheFolderPartOfTheImageFolder) {
    EXPECT_EQ(mascotPicturePath("/song/okaraimg/"), "/song/okaraimg/orba.bmp");
    EXPECT_EQ(mascotPicturePath("/song/pictures"), "/song/orba.bmp");
}

TEST(SettingsStore, SettingsFileLivesBesideTheProgramUnlessOverridden) {
    SettingsPathInputs in;
    in.programFolder = "/opt/orba/";
    in.home = "/home/u";
    EXPECT_EQ(chooseSettingsFilePath(in), "/opt/orba/ORBAKARAOKE.ini");

    in.programFolderWritable = false;
    EXPECT_EQ(chooseSettingsFilePath(in), "/home/u/.config/orbakaraoke/ORBAKARAOKE.ini");
    in.xdgConfigHome = "/xdg";
    EXPECT_EQ(chooseSettingsFilePath(in), "/xdg/orbakaraoke/ORBAKARAOKE.ini");
    // An existing file beside a read-only program is still the one used.
    in.programFolderHasFile = true;
    EXPECT_EQ(chooseSettingsFilePath(in), "/opt/orba/ORBAKARAOKE.ini");

    in.iniOverride = "/tmp/t.ini";
    EXPECT_EQ(chooseSettingsFilePath(in), "/tmp/t.ini");
}

}  // namespace
}  // namespace orba
