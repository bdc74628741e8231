#include "settings/settingsstore.h"

#include <gtest/gtest.h>

#include "platform/profilefile.h"
#include "tests/support/filereplaces.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

TEST(SettingsStore, AMissingFileGivesEveryDefault) {
    TempDir dir;
    ProfileFile f(dir.file("ORBAKARAOKE.ini"));
    const Settings v = readSettings(f);
    EXPECT_FALSE(v.stayOnTop);
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
    const Settings s = readSettings(ProfileFile(dir.file("s.ini")));
    Settings e;
    e.stayOnTop = true;
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
    EXPECT_EQ(s, e);
}

TEST(SettingsStore, WindowStateWritesItsSixKeysInOrderInOneReplace) {
    TempDir dir;
    test::FileReplaceCounter replaces(dir.file("s.ini"));
    ProfileFile f(dir.file("s.ini"));
    Settings w;
    w.stayOnTop = true;
    w.wipeStyle = 0;
    w.textBack = 3;
    w.imageStyle = 5;
    w.showNext = false;
    w.folderRepeat = false;
    w.noiseType = 2;  // not part of the window state
    writeWindowState(f, w);
    EXPECT_EQ(replaces.count(), 1);
    EXPECT_EQ(readFile(dir.file("s.ini")),
              "[Form]\nStayOnTop=1\n[Option]\nWipeStyle=0\nTextBack=3\nGazStyle=5\n"
              "showNext=0\nbFRepeat=0\n");
    Settings back = readSettings(ProfileFile(dir.file("s.ini")));
    back.noiseType = 2;
    EXPECT_EQ(back, w);
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

TEST(SettingsStore, PerSongFileKeepsItsOtherKeysAndReadsBackTheFour) {
    TempDir dir;
    writeFile(dir.file("a.oka"), "[Mine]\nx=1\n");
    Settings s;
    s.textBack = 2;
    s.noiseType = 1;
    s.noiseColor = 2;
    s.backgroundType = 3;
    s.wipeStyle = 0;  // not a per-song setting
    writePerSongFile(dir.file("a.mp3"), s);
    EXPECT_EQ(readFile(dir.file("a.oka")),
              "[Mine]\nx=1\n[Option]\nTextBack=2\n[Effect]\niNoiseT=1\niNoiseC=2\niBackT=3\n");
    Settings back;
    applyPerSongFile(dir.file("a.wav"), back);
    s.wipeStyle = back.wipeStyle;
    EXPECT_EQ(back, s);
}

TEST(SettingsStore, MascotPictureLiesInTheFolderPartOfTheImageFolder) {
    EXPECT_EQ(mascotPicturePath("/song/okaraimg/"), "/song/okaraimg/orba.bmp");
    EXPECT_EQ(mascotPicturePath("/song/pictures"), "/song/orba.bmp");
}

TEST(SettingsStore,
     AnInstalledProgramKeepsItsSettingsInTheConfigHomeEvenWhenItCouldWriteBesideItself) {
    SettingsPathInputs in;
    in.programFolder = "/usr/bin/";
    in.home = "/root";
    in.programFolderWritable = true;
    in.programFolderHasFile = true;
    in.programInstalled = true;
    EXPECT_EQ(chooseSettingsFilePath(in), "/root/.config/orbakaraoke/ORBAKARAOKE.ini");
    in.iniOverride = "/tmp/mine.ini";
    EXPECT_EQ(chooseSettingsFilePath(in), "/tmp/mine.ini");
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
