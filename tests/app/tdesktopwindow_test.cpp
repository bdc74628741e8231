#include "app/tdesktopwindow.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "app/orbaapplication.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::readFile;
using test::TempDir;
using test::writeFile;

std::vector<std::string> g_errors;
void recordError(const char* what) {
    g_errors.emplace_back(what);
}

class TDesktopWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.file("ORBAKARAOKE.ini");
        ::setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
        ::setenv("ORBAKARAOKE_TODAY", "0615", 1);
        g_errors.clear();
        setExceptionMessageSink(&recordError);
    }
    void TearDown() override {
        setExceptionMessageSink(nullptr);
        ::unsetenv("ORBAKARAOKE_TODAY");
    }
    TempDir dir;
    std::string ini;
};

TEST_F(TDesktopWindowTest, FirstStartWithoutSettingsFile) {
    TDesktopWindow w;
    EXPECT_EQ(w.windowTitle(), QStringLiteral("ORBA KARAOKE PLAYER"));
    EXPECT_FALSE(w.stayOnTopChecked());
    EXPECT_TRUE(w.folderRepeatChecked());
    EXPECT_TRUE(w.player().settings().folderRepeat);
    EXPECT_FALSE(w.player().settings().useMessage);
    EXPECT_EQ(w.backBuffer().width(), 800);
    EXPECT_EQ(w.backBuffer().height(), 600);
    EXPECT_EQ(w.player().state().currentLine, -1);
    EXPECT_EQ(w.player().state().seasonMode, 0);
    EXPECT_FALSE(w.frameTimer().isActive());
    EXPECT_EQ(w.frameTimer().interval(), 15);
    EXPECT_EQ(w.frameTimer().timerType(), Qt::PreciseTimer);
    // Nothing is written until the window closes.
    EXPECT_FALSE(std::filesystem::exists(ini));
}

TEST_F(TDesktopWindowTest, SeasonIsTakenFromTheDateOnce) {
    ::setenv("ORBAKARAOKE_TODAY", "1225", 1);
    TDesktopWindow christmas;
    EXPECT_EQ(christmas.player().state().seasonMode, 4);
    ::setenv("ORBAKARAOKE_TODAY", "0101", 1);
    TDesktopWindow newYear;
    EXPECT_EQ(newYear.player().state().seasonMode, 1);
    EXPECT_EQ(christmas.player().state().seasonMode, 4);
}

TEST_F(TDesktopWindowTest, StoredStayOnTopAndFolderPlayReachTheMenu) {
    writeFile(ini, "[Form]\nStayOnTop=1\n[Option]\nbFRepeat=0\n");
    TDesktopWindow w;
    EXPECT_TRUE(w.stayOnTopChecked());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_FALSE(w.folderRepeatChecked());
    EXPECT_FALSE(w.player().settings().folderRepeat);

    // A later load with the values off leaves the check marks alone.
    writeFile(ini, "[Form]\nStayOnTop=0\n[Option]\nbFRepeat=1\n");
    w.loadSettings();
    EXPECT_TRUE(w.stayOnTopChecked());
    EXPECT_TRUE(w.folderRepeatChecked());
}

TEST_F(TDesktopWindowTest, MissingFilesSwitchTheirFeaturesOffButKeepThePaths) {
    writeFile(dir.file("song.mp3"), "x");
    writeFile(dir.file("song.oka"), "[Option]\nTextBack=2\n[Effect]\niBackT=3\n");
    writeFile(ini, "[Option]\nUseBGM=1\nBGM=" + dir.file("song.mp3") +
                       "\nUseMessage=1\nMESSAGE=" + dir.file("gone.txt") +
                       "\nUseGaz=1\nImages=\nTextBack=1\n[Effect]\niNoiseT=1\n");
    TDesktopWindow w;
    EXPECT_TRUE(w.player().settings().useBgm);
    EXPECT_FALSE(w.player().settings().useMessage);
    EXPECT_EQ(w.player().settings().messageFile, dir.file("gone.txt"));
    EXPECT_FALSE(w.player().settings().useImages);
    // The song's own file overrides what it holds.
    EXPECT_EQ(w.player().settings().textBack, 2);
    EXPECT_EQ(w.player().settings().backgroundType, 3);
    EXPECT_EQ(w.player().settings().noiseType, 1);
}

TEST_F(TDesktopWindowTest, MascotPictureIsLoadedFromBesideTheImageFolder) {
    std::filesystem::create_directory(dir.file("okaraimg"));
    QImage mascot(30, 20, QImage::Format_RGB32);
    mascot.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(mascot.save(QString::fromStdString(dir.file("okaraimg/orba.bmp")), "BMP"));
    writeFile(ini, "[Option]\nUseGaz=0\nImages=" + dir.file("okaraimg/") + "\n");
    TDesktopWindow w;
    EXPECT_EQ(w.player().mascot().width(), 30);
    EXPECT_EQ(w.player().mascot().image().pixel(0, 0), qRgb(255, 0, 0));
}

TEST_F(TDesktopWindowTest, AnUnreadableMascotPictureIsNamedOnTheStatusLineAndTheSongPlays) {
    writeFile(dir.file("orba.bmp"), "not a picture");
    writeFile(dir.file("song_t.txt"), "[00:01:00]la\r\n");
    writeFile(ini, "[Option]\nImages=" + dir.file("pictures") + "\nWipeStyle=0\nUseMessage=1\n" +
                       "MESSAGE=" + dir.file("song_t.txt") + "\n");
    TDesktopWindow w;
    EXPECT_TRUE(g_errors.empty());                  // no box: the song is not held up
    EXPECT_EQ(w.player().mascot().width(), 120);    // the built-in picture bounces instead
    EXPECT_EQ(w.player().settings().wipeStyle, 0);  // the rest of the settings loaded
    w.player().loadSong();
    EXPECT_EQ(w.player().state().statusMessage,
              dir.file("orba.bmp") + " は有効な画像ではありません");
    EXPECT_FALSE(w.player().state().lyricLines.empty());
    EXPECT_TRUE(w.frameTimer().isActive());
}

TEST_F(TDesktopWindowTest, ClosingWritesTheWindowStateAndKeepsTheRestOfTheFile) {
    writeFile(ini,
              "; edited by hand\n"
              "[Option]\n"
              "MyKey=mine\n"
              "WipeStyle=0\n"
              "[Effect]\n"
              "iNoiseT=2\n");
    {
        TDesktopWindow w;
        w.player().settings().textBack = 3;
        w.show();
        w.close();
    }
    EXPECT_EQ(readFile(ini),
              "; edited by hand\n"
              "[Option]\n"
              "MyKey=mine\n"
              "WipeStyle=0\n"
              "TextBack=3\n"
              "GazStyle=0\n"
              "showNext=1\n"
              "bFRepeat=1\n"
              "[Effect]\n"
              "iNoiseT=2\n"
              "[Form]\n"
              "StayOnTop=0\n");
    EXPECT_TRUE(g_errors.empty());
}

TEST_F(TDesktopWindowTest, AReadOnlySettingsFileIsReportedAndTheWindowStillCloses) {
    writeFile(ini, "[Option]\nWipeStyle=0\n");
    ::chmod(ini.c_str(), 0444);
    TDesktopWindow w;
    w.show();
    EXPECT_TRUE(w.close());
    ASSERT_EQ(g_errors.size(), 1u);
    EXPECT_EQ(g_errors[0], ini + " に書き込めません");
}

TEST_F(TDesktopWindowTest, FullScreenAndBackRestoresBoundsAndMenus) {
    TDesktopWindow w;
    w.show();
    w.setGeometry(100, 80, 640, 480);
    const QRect before = w.geometry();
    w.FormDblClick();
    EXPECT_TRUE(w.isBorderNone());
    EXPECT_TRUE(w.isFullScreen());
    EXPECT_FALSE(w.menuBar()->isVisible());

    // The menus come while the mouse is at the top edge only.
    w.FormMouseMove(10, 1);
    EXPECT_TRUE(w.menuBar()->isVisible());
    w.FormMouseMove(10, 40);
    EXPECT_FALSE(w.menuBar()->isVisible());

    w.FormDblClick();
    EXPECT_FALSE(w.isBorderNone());
    EXPECT_FALSE(w.isFullScreen());
    EXPECT_TRUE(w.menuBar()->isVisible());
    EXPECT_EQ(w.geometry(), before);

    // Windowed, the mouse leaves the menus alone.
    w.FormMouseMove(10, 40);
    EXPECT_TRUE(w.menuBar()->isVisible());
}

TEST_F(TDesktopWindowTest, StayOnTopSurvivesFullScreen) {
    TDesktopWindow w;
    w.show();
    w.T1Click();
    ASSERT_TRUE(w.stayOnTopChecked());
    w.F1Click();
    w.F1Click();
    EXPECT_TRUE(w.stayOnTopChecked());
    EXPECT_TRUE(w.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w.isVisible());
    w.T1Click();
    EXPECT_FALSE(w.windowFlags() & Qt::WindowStaysOnTopHint);
}

TEST_F(TDesktopWindowTest, MenuClicksInvertTheCheckMarksOnce) {
    TDesktopWindow w;
    QAction* n5 = w.menuEntry("N5");
    ASSERT_TRUE(n5);
    n5->trigger();
    EXPECT_FALSE(w.folderRepeatChecked());
    EXPECT_FALSE(w.player().settings().folderRepeat);
    n5->trigger();
    EXPECT_TRUE(w.player().settings().folderRepeat);
    w.menuEntry("T1")->trigger();
    EXPECT_TRUE(w.stayOnTopChecked());
}

TEST_F(TDesktopWindowTest, MenuEntriesCarryTheirCaptionsAndIcons) {
    TDesktopWindow w;
    struct Entry {
        const char* name;
        const char* caption;
    } entries[] = {
        {"Open1", "開く(&O)"},
        {"Exit1", "終了(&X)"},
        {"N2", "タイムタグ編集モード(&T)"},
        {"T1", "常に最前面に表示(&T)"},
        {"F1", "フルスクリーン切替(&F) (Alt+Enter)"},
        {"N5", "フォルダ内連続再生"},
        {"S1", "設定(&S)"},
    };
    for (const Entry& e : entries) {
        QAction* a = w.menuEntry(e.name);
        ASSERT_TRUE(a) << e.name;
        EXPECT_EQ(a->text(), QString::fromUtf8(e.caption)) << e.name;
        EXPECT_FALSE(a->icon().isNull()) << e.name;
    }
    QStringList tops;
    for (QAction* a : w.menuBar()->actions()) tops << a->text();
    // The library's and party's menus have no Alt letter: Alt+L stays the
    // play list key, Alt+P a look key.
    EXPECT_EQ(tops, (QStringList{QStringLiteral("ファイル(&F)"), QStringLiteral("編集(&E)"),
                                 QStringLiteral("オプション(&O)"), QStringLiteral("ライブラリ"),
                                 QStringLiteral("パーティー")}));
    EXPECT_EQ(w.menuEntry("Find1")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_F));
}

}  // namespace
}  // namespace orba
