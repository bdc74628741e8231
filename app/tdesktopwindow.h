// The main window: the widgets of the player. It keeps the frame timer, the
// back buffer it copies to the screen, the caption, the cursor and the menus;
// everything else (settings, the dialog's values, player state, songs, the
// frame itself) is the Player's, which reaches the window through PlayerHost.
// Keys and menu entries become commands that the player runs.
//
// Life: FormCreate (constructor) -> FormShow (first show opens the first
// song) -> FormClose (close event) -> FormDestroy (destructor). The frame
// timer Timer1 only runs between a song load and the next one.
#pragma once

#include <QMainWindow>
#include <QPoint>
#include <QRect>
#include <QTimer>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/bitmap.h"
#include "player/player.h"

class QAction;
class QDockWidget;
class QMenu;

namespace orba {

class TSetting;
class FrameView;
class LibraryControl;
class LibraryPanel;
class LibraryQueueStore;
class PartyControl;
class QueuePanel;

class TDesktopWindow : public QMainWindow, private PlayerHost {
    Q_OBJECT
public:
    explicit TDesktopWindow(QWidget* parent = nullptr);
    ~TDesktopWindow() override;

    // The dialog is created after the main window, as at start-up.
    void setSettingDialog(TSetting* dialog);
    // Or the window makes it itself, the first time it is opened: its
    // widgets need not delay the first frame.
    void setSettingDialogMaker(std::function<std::unique_ptr<TSetting>()> make) {
        m_makeSetting = std::move(make);
    }
    TSetting* settingDialog();
    // The music file named on the command line, opened at the first show.
    void setCommandLineFile(std::string path) { m_commandLineFile = std::move(path); }
    // The first song opens in the time-tag edit mode.
    void setStartInTimeEditMode(bool on) { m_startInTimeEditMode = on; }

    Player& player() { return m_player; }
    const Bitmap& backBuffer() const { return m_backBuffer; }
    const QTimer& frameTimer() const { return Timer1; }

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
    // Ctrl+F: the library's search panel, its field focused.
    void Find1Click();
    // Party mode on and off; Ctrl+U: the queue panel.
    void PartyMode1Click();
    void Queue1Click();
    void FormDblClick();
    void FormMouseMove(int x, int y);
    void Timer1Timer();
    // A file dropped on the window: the first of them is opened.
    void dropFiles(const std::string& firstPath);

    bool stayOnTopChecked() const override;
    bool folderRepeatChecked() const;
    bool isBorderNone() const { return m_borderNone; }
    bool firstShow() const { return m_firstShow; }

    QAction* menuEntry(const char* name) const;
    LibraryControl& library() { return *m_library; }
    // Made the first time it is opened (its dock stands at start, so the
    // docks keep their order).
    LibraryPanel& libraryPanel();
    // Made when first needed, like the library panel.
    QueuePanel& queuePanel();
    PartyControl& party() { return *m_party; }
    // Serves the guests' page (a new address and PIN each time); false, with
    // `error` set, when it cannot.
    bool startParty(std::string* error);
    void stopParty();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    // Follows the mouse over any of the application's windows.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // PlayerHost
    void setTimerEnabled(bool on) override;
    void setCaption(const std::string& caption) override;
    void checkMenus(bool stayOnTop, bool folderRepeat) override;
    void updateCursor() override;
    void beep() override;
    void toggleFullScreen() override;
    void drawFrame() override;
    std::pair<int, int> clientSize() const override;
    std::optional<int> recordScore(const std::string& song, int total) override;

    void FormCreate();
    void FormShow();
    void FormClose();
    void FormDestroy();
    void createMenus();
    void createLibraryPanel();
    // A panel docked at the frame's right, hidden until shown.
    QDockWidget* addSidePanel(QWidget* panel, const QString& name);
    void startLibraryWatch();
    void createPartyPanel();

    Player m_player;
    Bitmap m_backBuffer;
    QTimer Timer1;
    TSetting* m_setting = nullptr;
    std::function<std::unique_ptr<TSetting>()> m_makeSetting;
    std::unique_ptr<TSetting> m_ownSetting;
    FrameView* m_view = nullptr;
    std::string m_commandLineFile;
    bool m_startInTimeEditMode = false;
    // Where the window stood before full screen, to go back to.
    QRect m_savedGeometry;
    bool m_firstShow = true;
    bool m_borderNone = false;
    std::optional<QPoint> m_previousCursor;
    QPoint m_pointer;  // where the mouse was last seen, in screen coordinates
    bool m_pointerKnown = false;
    Qt::CursorShape m_cursorShape = Qt::ArrowCursor;

    std::unique_ptr<LibraryControl> m_library;
    std::unique_ptr<LibraryQueueStore> m_queueStore;
    QString m_lastSinger;  // offered again when the next song is queued
    QDockWidget* m_panelDock = nullptr;
    LibraryPanel* m_panel = nullptr;
    std::function<LibraryPanel*()> m_makePanel;
    std::unique_ptr<PartyControl> m_party;
    QDockWidget* m_queueDock = nullptr;
    QueuePanel* m_queuePanel = nullptr;
    std::function<QueuePanel*()> m_makeQueuePanel;

    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* I1 = nullptr;
    QMenu* Library1 = nullptr;
    QAction* Open1 = nullptr;
    QAction* Exit1 = nullptr;
    QAction* N2 = nullptr;
    QAction* T1 = nullptr;
    QAction* F1 = nullptr;
    QAction* N5 = nullptr;
    QAction* S1 = nullptr;
    QAction* Find1 = nullptr;
    QMenu* Party1 = nullptr;
    QAction* PartyMode1 = nullptr;
    QAction* Queue1 = nullptr;
};

}  // namespace orba
