#include "app/librarypanel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <chrono>
#include <filesystem>
#include <thread>

#include "app/librarycontrol.h"
#include "library/library.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;

// Stands for the player's window: records every key that reaches it.
class KeyRecorder : public QWidget {
public:
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* e) override { keys.push_back(e->key()); }
};

class LibraryPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directory(dir.file("songs"));
        for (const char* name : {"あさのうた.mp3", "あさやけ.mp3", "ゆうやけ.mp3"})
            writeFile(songs(name), "ID3");
        Library library(dir.file("library.db"));
        library.addFolder(dir.file("songs"));
        library.rescan();
    }

    std::string songs(const std::string& name) const { return dir.file("songs/" + name); }

    // A panel over the library file, in a window of its own.
    void makePanel(const std::string& file) {
        control = std::make_unique<LibraryControl>(
            file, [this](std::string t) { statuses.push_back(std::move(t)); });
        LibraryPanel::Actions actions;
        actions.play = [this](const std::string& p) { played.push_back(p); };
        actions.queue = [this](const std::string& p) { queued.push_back(p); };
        actions.status = [this](const std::string& t) { shown.push_back(t); };
        actions.closed = [this] {
            ++closings;
            panel->hide();
        };
        panel = new LibraryPanel(*control, std::move(actions), &window);
        window.show();
        panel->openPanel();
    }

    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent e(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(panel->searchField(), &e);
    }

    TempDir dir;
    std::unique_ptr<LibraryControl> control;
    KeyRecorder window;
    LibraryPanel* panel = nullptr;
    std::vector<std::string> played, queued, shown, statuses;
    int closings = 0;
};

TEST_F(LibraryPanelTest, TypingFindsSongsAndDownThenEnterPlaysTheSecond) {
    makePanel(dir.file("library.db"));
    panel->searchField()->setText(QStringLiteral("アサ"));  // kana folded: both あさ… songs
    ASSERT_EQ(panel->rows().size(), 2u);
    EXPECT_EQ(panel->selectedRow(), 0);
    press(Qt::Key_Down);
    EXPECT_EQ(panel->selectedRow(), 1);
    const std::string second = panel->rows()[1].path;
    press(Qt::Key_Return);
    EXPECT_EQ(played, std::vector<std::string>{second});
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(panel->isHidden());
}

TEST_F(LibraryPanelTest, ShiftEnterQueuesTheSongAndKeepsThePanelOpen) {
    makePanel(dir.file("library.db"));
    panel->searchField()->setText(QStringLiteral("アサ"));
    ASSERT_EQ(panel->rows().size(), 2u);
    press(Qt::Key_Return, Qt::ShiftModifier);
    press(Qt::Key_Down);
    press(Qt::Key_Enter, Qt::ShiftModifier);
    EXPECT_EQ(queued, (std::vector<std::string>{panel->rows()[0].path, panel->rows()[1].path}));
    EXPECT_TRUE(played.empty());
    EXPECT_EQ(closings, 0);
    EXPECT_TRUE(panel->isVisible());
    // A file gone since the scan is not queued; the panel says why.
    std::filesystem::remove(panel->rows()[1].path);
    press(Qt::Key_Return, Qt::ShiftModifier);
    EXPECT_EQ(queued.size(), 2u);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("ファイルがありません"), std::string::npos);
}

TEST_F(LibraryPanelTest, AFileGoneSinceTheScanIsShownMissingAndEnterOnlySaysSo) {
    makePanel(dir.file("library.db"));
    std::filesystem::remove(songs("ゆうやけ.mp3"));
    panel->searchField()->setText(QStringLiteral("ゆうやけ"));
    ASSERT_EQ(panel->rows().size(), 1u);
    EXPECT_TRUE(panel->rows()[0].missing);
    press(Qt::Key_Enter);
    EXPECT_TRUE(played.empty());
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].find("ファイルがありません"), std::string::npos);
    EXPECT_EQ(panel->noteText().toStdString(), shown[0]);
    EXPECT_TRUE(panel->isVisible());
}

TEST_F(LibraryPanelTest, NoKeyOfThePanelReachesThePlayerBehindIt) {
    makePanel(dir.file("library.db"));
    panel->searchField()->setText(QStringLiteral("やけ"));
    for (int key : {Qt::Key_F9, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_Space, Qt::Key_D}) press(key);
    EXPECT_TRUE(window.keys.empty());
    press(Qt::Key_Escape);
    EXPECT_TRUE(window.keys.empty());
    EXPECT_EQ(closings, 1);
    EXPECT_TRUE(played.empty());
}

TEST_F(LibraryPanelTest, ALibraryThatCannotBeOpenedIsExplainedInThePanel) {
    // A file under a file: neither opened nor made.
    writeFile(dir.file("plain"), "x");
    makePanel(dir.file("plain/library.db"));
    panel->searchField()->setText(QStringLiteral("あさ"));
    EXPECT_TRUE(panel->rows().empty());
    EXPECT_TRUE(panel->noteText().startsWith(QStringLiteral("ライブラリを開けません: ")))
        << panel->noteText().toStdString();
    press(Qt::Key_Return);
    EXPECT_TRUE(played.empty());
}

TEST_F(LibraryPanelTest, ADamagedLibraryIsRebuiltAndTheNoticeShown) {
    writeFile(dir.file("broken.db"), std::string(8192, 'x'));
    makePanel(dir.file("broken.db"));
    // The folders are gone with the damage: the note says what to do.
    EXPECT_NE(panel->noteText().indexOf(QStringLiteral("フォルダがありません")), -1)
        << panel->noteText().toStdString();
    EXPECT_TRUE(control->library() != nullptr);
    EXPECT_FALSE(control->library()->notice().empty());
}

TEST_F(LibraryPanelTest, AFolderAddedIsScannedOnTheWorkerAndReportedOnTheWindowsThread) {
    std::filesystem::create_directory(dir.file("more"));
    for (const char* name : {"ほしぞら.mp3", "ほしのうた.mid"})
        writeFile(dir.file("more/") + name, "x");
    makePanel(dir.file("library.db"));
    int changes = 0;
    QObject::connect(control.get(), &LibraryControl::songsChanged, [&] { ++changes; });
    panel->searchField()->setText(QStringLiteral("ほし"));
    EXPECT_TRUE(panel->rows().empty());

    control->addFolder(dir.file("more"));
    EXPECT_EQ(control->folders().size(), 2u);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (changes == 0 && std::chrono::steady_clock::now() < deadline) {
        QApplication::processEvents();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_EQ(changes, 1);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), "ライブラリを更新しました: 追加 2");
    // The panel shown searches again.
    EXPECT_EQ(panel->rows().size(), 2u);
}

}  // namespace
}  // namespace orba
