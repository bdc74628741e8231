// The settings menu of the main window with the real dialog.
#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QPushButton>
#include <QTimer>

#include "app/tdesktopwindow.h"
#include "platform/profilefile.h"
#include "settings/tsetting.h"
#include "tests/support/filereplaces.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;

class SettingsMenuTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini = dir.file("ORBAKARAOKE.ini");
        ::setenv("ORBAKARAOKE_INI", ini.c_str(), 1);
        writeFile(ini, "[Option]\nWipeStyle=1\nTextBack=0\n");
    }

    // Opens the dialog from the menu, picks a wipe style and presses `button`.
    void openSettings(TDesktopWindow& w, TSetting& s, const char* button, int wipe) {
        QTimer::singleShot(0, &s, [&s, button, wipe] {
            s.findChild<QComboBox*>(QStringLiteral("ComboBox2"))->setCurrentIndex(wipe);
            s.findChild<QPushButton*>(QString::fromLatin1(button))->click();
        });
        w.menuEntry("S1")->trigger();
    }

    TempDir dir;
    std::string ini;
};

TEST_F(SettingsMenuTest, OkAppliesTheDialogsValuesToTheWindow) {
    TDesktopWindow w;
    TSetting s(w.player().dialogValues(), &w);
    w.setSettingDialog(&s);
    w.player().settings().textBack = 2;  // changed by a key since the last save
    openSettings(w, s, "BitBtn1", 0);
    EXPECT_EQ(w.player().settings().wipeStyle, 0);
    // The window state was saved before the dialog wrote its own values.
    EXPECT_EQ(ProfileFile(ini).readInteger("Form", "StayOnTop", -1), 0);
    EXPECT_EQ(w.player().settings().textBack, 0);
}

TEST_F(SettingsMenuTest, CancelLeavesTheWindowsSettingsAlone) {
    TDesktopWindow w;
    TSetting s(w.player().dialogValues(), &w);
    w.setSettingDialog(&s);
    w.player().settings().textBack = 2;
    openSettings(w, s, "BitBtn2", 0);
    EXPECT_EQ(w.player().settings().wipeStyle, 1);
    EXPECT_EQ(w.player().settings().textBack, 2);
    EXPECT_EQ(ProfileFile(ini).readInteger("Option", "TextBack", -1), 2);
}

// Each of the three operations (the window state saved before the dialog,
// the dialog's OK writer, the window state saved at exit) replaces the file
// once, however many keys it writes.
TEST_F(SettingsMenuTest, SettingsOkAndExitFromTheMenuReplaceTheFileOncePerOperation) {
    test::FileReplaceCounter replaces(ini);
    {
        TDesktopWindow w;
        TSetting s(w.player().dialogValues(), &w);
        w.setSettingDialog(&s);
        openSettings(w, s, "BitBtn1", 0);
        EXPECT_EQ(replaces.count(), 2);
        w.menuEntry("Exit1")->trigger();
    }
    EXPECT_EQ(replaces.count(), 3);
    EXPECT_EQ(ProfileFile(ini).readInteger("Option", "WipeStyle", -1), 0);
}

}  // namespace
}  // namespace orba
