// The main window. It owns the off-screen bitmaps, the string lists, the
// settings record and the player state for the life of the process; every
// frame is drawn into backBuffer and copied to the client area.
//
// Life: FormCreate (constructor) -> FormShow (first show) -> FormClose
// (close event) -> FormDestroy (destructor). The frame timer Timer1 only
// runs between a song load and the next one.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QTimer>
#include <memory>
#include <string>

#include "settings/playerstate.h"
#include "platform/bitmap.h"
#include "settings/settings.h"

class QAction;
class QMenu;

namespace orba {

class TSetting;
class FrameView;

class TDesktopWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit TDesktopWindow(QWidget* parent = nullptr);
    ~TDesktopWindow() override;

    // The dialog is created after the main window, as at start-up.
    void setSettingDialog(TSetting* dialog) { m_setting = dialog; }
    // The music file named on the command line, opened at the first show.
    void setCommandLineFile(std::string path) { m_commandLineFile = std::move(path); }

    Settings settings;
    PlayerState state;

    Bitmap backBuffer;
    Bitmap pictureA;
    Bitmap pictureB;
    Bitmap Image1;  // mascot picture, replaced by "orba.bmp" when present

    QTimer Timer1;

    void loadSettings();
    void saveWindowState();
    void setMenusVisible(bool visible);

    // Menu and window handlers.
    void Open1Click();
    void Exit1Click();
    void N2Click();
    void T1Click();
    void F1Click();
    void N5Click();
    void S1Click();
    void FormDblClick();
    void FormMouseMove(int x, int y);
    void Timer1Timer();

    // Sets the cursor by the full-screen rule; run by every frame.
    void updateFullScreenCursor();

    bool stayOnTopChecked() const;
    bool folderRepeatChecked() const;
    bool isBorderNone() const { return m_borderNone; }
    bool firstShow() const { return m_firstShow; }

    QAction* menuEntry(const char* name) const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;

private:
    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void createMenus();
    void applyConfiguredVolume();
    void restoreVolume();

    TSetting* m_setting = nullptr;
    FrameView* m_view = nullptr;
    std::string m_commandLineFile;
    bool m_firstShow = true;
    bool m_borderNone = false;
    QPoint m_previousCursor;

    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* I1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* N2 = nullptr;
    QAction* T1 = nullptr;
    QAction* F1 = nullptr;
    QAction* N5 = nullptr;
    QAction* S1 = nullptr;
};

}  // namespace orba
