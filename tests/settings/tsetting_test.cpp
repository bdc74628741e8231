#include "settings/tsetting.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <filesystem>

#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/profilefile.h"
#include "platform/sjis.h"
#include "settings/dialogshell.h"
#include "settings/libraryfolders.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::TempDir;
using test::writeFile;

// Answers the dialog's questions from a script and records them.
struct ScriptedShell : DialogShell {
    std::optional<std::string> file;
    std::optional<std::string> folder;
    std::vector<FileChooser> fileRequests;
    std::vector<QString> folderRequests;
    int beeps = 0;

    std::optional<std::string> chooseFile(QWidget*, const FileChooser& c) override {
        fileRequests.push_back(c);
        return file;
    }
    std::optional<std::string> chooseFolder(QWidget*, const QString& title) override {
        folderRequests.push_back(title);
        return folder;
    }
    void beep() override { ++beeps; }
};

// The library's folders in memory; a folder named "bad" is refused.
struct FolderList : LibraryFolders {
    std::vector<std::string> list;
    std::vector<std::string> calls;
    std::vector<std::string> folders() override { return list; }
    void addFolder(const std::string& f) override {
        calls.push_back("add " + f);
        if (f == "bad") throw std::runtime_error("bad is no folder");
        list.push_back(f);
    }
    void removeFolder(const std::string& f) override {
        calls.push_back("remove " + f);
        std::erase(list, f);
    }
};

class TSettingTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.file("ORBAKARAOKE.ini");
        ::setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
        fs::create_directory(dir.file("home"));
        for (const char* name : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"})
            if (const char* v = std::getenv(name)) savedEnv.emplace_back(name, v);
        ::setenv("HOME", dir.file("home").c_str(), 1);
        ::unsetenv("XDG_CONFIG_HOME");
        ::unsetenv("XDG_DATA_HOME");
    }
    void TearDown() override {
        for (auto& [name, value] : savedEnv) ::setenv(name.c_str(), value.c_str(), 1);
    }

    // The dialog as start-up creates it, over the values the player reads
    // from the settings file, with a scripted shell.
    std::unique_ptr<TSetting> makeDialog() {
        model = readDialogValues(ProfileFile(ini));
        auto d = std::make_unique<TSetting>(model);
        auto s = std::make_unique<ScriptedShell>();
        shell = s.get();
        d->setShell(std::move(s));
        return d;
    }

    template <class T>
    static T* control(TSetting& d, const char* name) {
        T* w = d.findChild<T*>(QString::fromLatin1(name));
        if (!w) ADD_FAILURE() << "no control " << name;
        return w;
    }

    std::string stored(const char* section, const char* key) {
        return ProfileFile(ini).readString(section, key, "(missing)");
    }

    TempDir dir;
    DialogValues model;
    std::string ini;
    ScriptedShell* shell = nullptr;
    std::vector<std::pair<std::string, std::string>> savedEnv;
};

TEST_F(TSettingTest, WithoutASettingsFileTheTextIsShownAndOkStoresIt) {
    auto d = makeDialog();
    auto* box = control<QCheckBox>(*d, "CheckBox2");
    EXPECT_EQ(box->text(), QStringLiteral("テキストを表示"));
    EXPECT_TRUE(box->isChecked());
    d->BitBtn1Click();
    EXPECT_EQ(stored("Option", "UseMessage"), "1");
    EXPECT_EQ(d->result(), QDialog::Accepted);
}

TEST_F(TSettingTest, StoredValuesOutsideTheControlsAreShownClampedOrUnselected) {
    writeFile(ini,
              "[Option]\nWipeStyle=5\n[Effect]\niSlideTime=50\niFSizePer=1000\n"
              "[Transp]\nbTransA=55\n");
    auto d = makeDialog();
    EXPECT_EQ(control<QComboBox>(*d, "ComboBox7")->currentText(), QStringLiteral(" 50%"));
    EXPECT_EQ(control<QSlider>(*d, "TrackBar1")->value(), 5);
    EXPECT_EQ(control<QLabel>(*d, "Panel1")->text(), QStringLiteral("500 "));
    EXPECT_EQ(control<QComboBox>(*d, "ComboBox2")->currentIndex(), -1);
    EXPECT_EQ(control<QSpinBox>(*d, "CSpinEdit2")->value(), 300);

    d->BitBtn1Click();
    EXPECT_EQ(stored("Transp", "bTransA"), "50");
    EXPECT_EQ(stored("Effect", "iSlideTime"), "500");
    EXPECT_EQ(stored("Option", "WipeStyle"), "-1");
    EXPECT_EQ(stored("Effect", "iFSizePer"), "300");
}

TEST_F(TSettingTest, MovingTheSliderUpdatesThePanelAndTheStoredTime) {
    auto d = makeDialog();
    EXPECT_EQ(control<QLabel>(*d, "Panel1")->text(), QStringLiteral("5000 "));
    control<QSlider>(*d, "TrackBar1")->setValue(37);
    EXPECT_EQ(control<QLabel>(*d, "Panel1")->text(), QStringLiteral("3700 "));
    d->BitBtn1Click();
    EXPECT_EQ(stored("Effect", "iSlideTime"), "3700");
}

TEST_F(TSettingTest, OkOnTheShownDialogWritesAndClosesWithOk) {
    auto d = makeDialog();
    QTimer::singleShot(0, d.get(), [&] {
        control<QComboBox>(*d, "ComboBox6")->setCurrentIndex(3);
        control<QPushButton>(*d, "BitBtn1")->click();
    });
    EXPECT_EQ(d->exec(), QDialog::Accepted);
    EXPECT_FALSE(d->isVisible());
    EXPECT_EQ(stored("Effect", "iBackT"), "3");
}

TEST_F(TSettingTest, CancelWritesNothingAndTheControlsKeepTheChange) {
    writeFile(ini, "[Effect]\niNoiseT=1\n");
    auto d = makeDialog();
    QTimer::singleShot(0, d.get(), [&] {
        control<QComboBox>(*d, "ComboBox3")->setCurrentIndex(3);
        control<QPushButton>(*d, "BitBtn2")->click();
    });
    EXPECT_EQ(d->exec(), QDialog::Rejected);
    EXPECT_EQ(readFile(ini), "[Effect]\niNoiseT=1\n");
    EXPECT_EQ(control<QComboBox>(*d, "ComboBox3")->currentIndex(), 3);
    // The next commit, shown or not, stores the cancelled change.
    d->BitBtn1Click();
    EXPECT_EQ(stored("Effect", "iNoiseT"), "3");
}

TEST_F(TSettingTest, ARefusedWriteIsRaisedAndTheDialogIsNotAccepted) {
    writeFile(ini, "[Option]\nUseBGM=0\n");
    auto d = makeDialog();
    ::chmod(ini.c_str(), 0444);
    d->setResult(QDialog::Rejected);
    EXPECT_THROW(d->BitBtn1Click(), ProfileWriteError);
    EXPECT_EQ(d->result(), QDialog::Rejected);
}

TEST_F(TSettingTest, ASongThePlayerChoseShowsWithItsCompanionsWhenTheDialogOpens) {
    fs::create_directories(dir.file("a"));
    writeFile(dir.file("a/x.mp3"), "");
    writeFile(dir.file("a/x_t.txt"), "");
    writeFile(ini, "[Option]\nUseBGM=1\nBGM=" + dir.file("b/y.mp3") + "\n");
    auto d = makeDialog();
    // What the player does when it opens a song: the dialog is not asked.
    model.music = chooseCompanions(model.music, dir.file("a/x.mp3"),
                                   findCompanions(companionPathsFor(dir.file("a/x.mp3"))));
    d->show();
    EXPECT_TRUE(shell->fileRequests.empty());
    EXPECT_EQ(control<QLineEdit>(*d, "Edit2")->text().toStdString(), dir.file("a/x_t.txt"));
    EXPECT_EQ(d->openDialog2Folder(), dir.file("a/"));
    d->reject();
    EXPECT_EQ(model.music.messageFile, dir.file("a/x_t.txt"));
}

TEST_F(TSettingTest, ClickingOkOnAFileThatCannotBeWrittenShowsTheErrorAndKeepsTheDialogOpen) {
    writeFile(ini, "[Option]\nUseBGM=0\n");
    auto d = makeDialog();
    ::chmod(ini.c_str(), 0444);
    ::chmod(dir.path().c_str(), 0555);  // no temporary file beside it either
    static std::vector<std::string> shown;
    shown.clear();
    setExceptionMessageSink([](const char* what) { shown.push_back(what); });
    d->show();
    control<QPushButton>(*d, "BitBtn1")->click();  // through the button's signal
    setExceptionMessageSink(nullptr);
    ::chmod(dir.path().c_str(), 0755);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("ORBAKARAOKE.ini"), std::string::npos) << shown[0];
    EXPECT_TRUE(d->isVisible());
    d->reject();
}

TEST_F(TSettingTest, TheMusicChooserOpensInTheOldSongsFolderAndACancelChangesNothing) {
    writeFile(ini, "[Option]\nBGM=/b/曲.mp3\nMESSAGE=/lyrics/y.txt\n");
    auto d = makeDialog();
    EXPECT_EQ(d->openDialog2Folder(), "/lyrics/");
    const DialogValues before = d->values();
    d->musicFileAccepted = true;
    d->Button1Click();
    ASSERT_EQ(shell->fileRequests.size(), 1u);
    const FileChooser& c = shell->fileRequests.front();
    EXPECT_EQ(c.title, QStringLiteral("BGMファイルの選択"));
    EXPECT_EQ(c.filter,
              QStringLiteral("オーディオファイル|*.mid;*.wav;*.mp3;*.mp2;*.wma;*.ogg;*.kar"));
    EXPECT_EQ(c.startFolder, "/b/");
    EXPECT_FALSE(d->musicFileAccepted);
    EXPECT_EQ(d->values(), before);

    shell->file = dir.file("z.ogg");
    d->Button1Click();
    EXPECT_TRUE(d->musicFileAccepted);
    EXPECT_EQ(d->values().music.bgmFile, dir.file("z.ogg"));
    // The message chooser follows the new song's folder.
    d->Button2Click();
    ASSERT_EQ(shell->fileRequests.size(), 3u);
    EXPECT_EQ(shell->fileRequests.back().startFolder, dir.path() + "/");
}

TEST_F(TSettingTest, TheOpenMenusChooserOffersVideosUltraStarAndZipSongsAsFiltersOfTheirOwn) {
    auto d = makeDialog();
    d->chooseMusicFile(/*songFilesToo=*/true);
    ASSERT_EQ(shell->fileRequests.size(), 1u);
    const QString filter = shell->fileRequests.front().filter;
    EXPECT_EQ(filter, QStringLiteral(
                          "オーディオファイル|*.mid;*.wav;*.mp3;*.mp2;*.wma;*.ogg;*.kar|"
                          "ビデオファイル|*.mp4;*.mkv;*.webm;*.avi;*.mov;*.mpg|UltraStar|*.txt|"
                          "MP3+G|*.zip"));
    EXPECT_EQ(qtNameFilter(filter),
              QStringLiteral("オーディオファイル (*.mid *.wav *.mp3 *.mp2 *.wma *.ogg *.kar);;"
                             "ビデオファイル (*.mp4 *.mkv *.webm *.avi *.mov *.mpg);;"
                             "UltraStar (*.txt);;MP3+G (*.zip)"));
    EXPECT_EQ(qtNameFilter(QStringLiteral("テキストファイル TXT|*.txt;*.lrc")),
              QStringLiteral("テキストファイル TXT (*.txt *.lrc)"));
}

TEST_F(TSettingTest, TheMessageChooserTicksTheTextAndSetsItsPath) {
    writeFile(ini, "[Option]\nUseMessage=0\n");
    auto d = makeDialog();
    d->Button2Click();
    EXPECT_EQ(shell->fileRequests.at(0).title, QStringLiteral("メッセージファイルの選択"));
    EXPECT_EQ(shell->fileRequests.at(0).filter,
              QStringLiteral("テキストファイル TXT|*.txt;*.lrc;*.ass;*.ssa"));
    EXPECT_FALSE(d->values().music.useMessage);

    shell->file = "/songs/歌詞 'a'.txt";
    d->Button2Click();
    EXPECT_TRUE(d->values().music.useMessage);
    EXPECT_EQ(d->values().music.messageFile, "/songs/歌詞 'a'.txt");
}

TEST_F(TSettingTest, AFolderFromTheBrowserIsStoredWithoutATrailingSeparator) {
    auto d = makeDialog();
    d->Button3Click();
    ASSERT_EQ(shell->folderRequests.size(), 1u);
    EXPECT_EQ(shell->folderRequests.front(), QStringLiteral("画像フォルダの選択"));
    EXPECT_FALSE(d->values().music.useImages);

    shell->folder = "/pics/2024/";
    d->Button3Click();
    EXPECT_TRUE(d->values().music.useImages);
    EXPECT_EQ(d->values().music.imageFolder, "/pics/2024");
}

TEST_F(TSettingTest, ShortcutButtonsBeepOnlyWhenTheirPlaceExists) {
    auto d = makeDialog();
    // This home has no desktop folder.
    control<QPushButton>(*d, "Button4")->click();
    EXPECT_EQ(shell->beeps, 0);
    EXPECT_FALSE(fs::exists(dir.file("home/Desktop/O-Kara.desktop")));

    control<QPushButton>(*d, "Button5")->click();
    EXPECT_EQ(shell->beeps, 1);
    const std::string entry = readFile(dir.file("home/.local/share/applications/O-Kara.desktop"));
    EXPECT_NE(entry.find(programPath()), std::string::npos);

    fs::create_directory(dir.file("home/Desktop"));
    control<QPushButton>(*d, "Button4")->click();
    control<QPushButton>(*d, "Button6")->click();
    EXPECT_EQ(shell->beeps, 3);
    EXPECT_TRUE(fs::exists(dir.file("home/Desktop/O-Kara.desktop")));
    EXPECT_TRUE(fs::exists(dir.file("home/.local/share/nautilus/scripts/O-Kara")));
}

TEST_F(TSettingTest, AFontNameInShiftJisSurvivesOk) {
    const std::string sjisName = utf8ToSjis("ＭＳ Ｐゴシック");
    writeFile(ini, "[Effect]\nsFontNM=" + sjisName + "\n");
    auto d = makeDialog();
    auto* fonts = control<QFontComboBox>(*d, "FNComboBox1");
    EXPECT_EQ(fonts->currentText(), QStringLiteral("ＭＳ Ｐゴシック"));
    d->BitBtn1Click();
    EXPECT_EQ(stored("Effect", "sFontNM"), sjisName);

    fonts->setCurrentText(QStringLiteral("IPAゴシック"));
    d->BitBtn1Click();
    EXPECT_EQ(stored("Effect", "sFontNM"), "IPAゴシック");
}

// Every caption must be readable at the dialog's fixed size.
TEST_F(TSettingTest, EveryCaptionFitsItsControl) {
    auto d = makeDialog();
    d->show();
    auto fits = [](QWidget* w, QSize needed, const QString& what) {
        EXPECT_LE(needed.width(), w->width()) << what.toStdString();
        EXPECT_LE(needed.height(), w->height()) << what.toStdString();
    };
    int captions = 0;
    for (QLabel* l : d->findChildren<QLabel*>()) {
        if (l->text().isEmpty() || l->pixmap().isNull() == false) continue;
        fits(l, l->sizeHint(), l->text());
        ++captions;
    }
    for (QCheckBox* b : d->findChildren<QCheckBox*>()) {
        fits(b, b->sizeHint(), b->text());
        ++captions;
    }
    // A push button's size hint has a minimum width of the style's; the
    // caption itself with the glyph and a margin is what must fit.
    for (QPushButton* b : d->findChildren<QPushButton*>()) {
        const int glyph = b->icon().isNull() ? 0 : b->iconSize().width() + 4;
        const int width = b->fontMetrics().horizontalAdvance(b->text()) + glyph + 8;
        fits(b, QSize(width, b->fontMetrics().height()), b->text());
        ++captions;
    }
    for (QComboBox* c : d->findChildren<QComboBox*>()) {
        if (qobject_cast<QFontComboBox*>(c)) continue;
        const int arrow = 24;
        for (int i = 0; i < c->count(); ++i) {
            const int text = c->fontMetrics().horizontalAdvance(c->itemText(i));
            EXPECT_LE(text + arrow, c->width()) << c->itemText(i).toStdString();
        }
    }
    for (QGroupBox* g : d->findChildren<QGroupBox*>()) {
        EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 16, g->width());
    }
    // Every control lies wholly inside its page, group or panel.
    auto inside = [](QWidget* area) {
        for (QWidget* w : area->findChildren<QWidget*>()) {
            // Unnamed ones are Qt's own parts, such as a list's popup.
            if (w->objectName().isEmpty() || w->objectName().startsWith(QStringLiteral("qt_")))
                continue;
            EXPECT_TRUE(w->parentWidget()->rect().contains(w->geometry()))
                << w->objectName().toStdString();
        }
    };
    inside(control<QWidget>(*d, "Panel2"));
    auto* pages = control<QTabWidget>(*d, "PageControl1");
    for (int i = 0; i < pages->count(); ++i) {
        pages->setCurrentIndex(i);
        QApplication::processEvents();
        inside(pages->currentWidget());
    }
    QTabBar* tabs = pages->tabBar();
    for (int i = 0; i < tabs->count(); ++i) {
        EXPECT_EQ(tabs->tabRect(i).width(), 80);
        EXPECT_LE(tabs->fontMetrics().horizontalAdvance(tabs->tabText(i)), 80);
    }
    EXPECT_GE(captions, 35);
}

TEST_F(TSettingTest, TheLibraryPageAddsAndRemovesFoldersAtOnce) {
    auto d = makeDialog();
    FolderList library;
    library.list = {"/music/old"};
    d->setLibraryFolders(&library);
    d->show();
    auto* list = control<QListWidget>(*d, "LibraryList");
    auto* note = control<QLabel>(*d, "LibraryNote");
    ASSERT_EQ(list->count(), 1);

    shell->folder = "/music/new";
    d->LibraryAddClick();
    EXPECT_EQ(shell->folderRequests.back(), QStringLiteral("ライブラリに加えるフォルダの選択"));
    EXPECT_EQ(library.calls, std::vector<std::string>{"add /music/new"});
    ASSERT_EQ(list->count(), 2);
    EXPECT_EQ(list->item(1)->text(), QStringLiteral("/music/new"));
    EXPECT_TRUE(note->text().contains(QStringLiteral("追加しました")));

    // The chosen row goes, not the first one.
    list->setCurrentRow(1);
    d->LibraryRemoveClick();
    EXPECT_EQ(library.calls.back(), "remove /music/new");
    EXPECT_EQ(library.list, std::vector<std::string>{"/music/old"});
    EXPECT_EQ(list->count(), 1);
    // Cancel undoes neither: the folders live in the library.
    d->reject();
    EXPECT_EQ(library.list, std::vector<std::string>{"/music/old"});
}

TEST_F(TSettingTest, ARefusedLibraryFolderIsExplainedOnThePage) {
    auto d = makeDialog();
    FolderList library;
    d->setLibraryFolders(&library);
    d->show();
    shell->folder = "bad";
    d->LibraryAddClick();
    EXPECT_EQ(control<QListWidget>(*d, "LibraryList")->count(), 0);
    EXPECT_EQ(control<QLabel>(*d, "LibraryNote")->text(),
              QStringLiteral("追加できません: bad is no folder"));
    EXPECT_FALSE(control<QPushButton>(*d, "LibraryRemove")->isEnabled());

    shell->folder.reset();  // the chooser cancelled
    d->LibraryAddClick();
    EXPECT_EQ(library.calls.size(), 1u);
}

TEST_F(TSettingTest, WithoutALibraryThePageIsOff) {
    auto d = makeDialog();
    EXPECT_FALSE(control<QPushButton>(*d, "LibraryAdd")->isEnabled());
    EXPECT_FALSE(control<QPushButton>(*d, "LibraryRemove")->isEnabled());
}

}  // namespace
}  // namespace orba
