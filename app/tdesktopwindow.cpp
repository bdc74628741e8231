#include "app/tdesktopwindow.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QGuiApplication>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <stdexcept>

#include "app/frameview.h"
#include "app/orbaapplication.h"
#include "app/shellrules.h"
#include "platform/files.h"
#include "platform/profilefile.h"
#include "playback/mastervolume.h"
#include "settings/settingsstore.h"
#include "settings/tsetting.h"

namespace orba {

TDesktopWindow::TDesktopWindow(QWidget* parent) : QMainWindow(parent) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    m_view = new FrameView(this);
    setCentralWidget(m_view);

    Timer1.setInterval(15);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });

    createMenus();
    FormCreate();
}

TDesktopWindow::~TDesktopWindow() {
    FormDestroy();
}

void TDesktopWindow::FormCreate() {
    // The client area is the view; its size does not count the menu bar.
    m_view->setMinimumSize(1, 1);
    resize(800, 600 + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }

    backBuffer = Bitmap(800, 600);
    pictureA = Bitmap(800, 600);
    pictureB = Bitmap(800, 600);
    Image1 = Bitmap(120, 48);
    state = PlayerState{};

    state.editFrameDrawn = true;
    state.statusTime = 0;
    state.lastTick = 0;

    // A settings load that fails (an unreadable mascot picture) is reported
    // and the window still comes up with what was loaded.
    try {
        loadSettings();
    } catch (const std::exception& e) {
        showExceptionMessage(e.what());
    }

    // Keys must arrive as plain key presses, never through an input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);

    state.seasonMode = seasonModeFor(todayMmdd());
}

void TDesktopWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    FormShow();
}

void TDesktopWindow::FormShow() {
    setAcceptDrops(true);
    if (!m_firstShow) return;
    m_firstShow = false;
    // Opening the first song joins here once songs can be loaded.
}

void TDesktopWindow::closeEvent(QCloseEvent* event) {
    // A settings file that cannot be written is reported, but must not keep
    // the user from closing the player.
    try {
        FormClose();
    } catch (const std::exception& e) {
        showExceptionMessage(e.what());
    }
    event->accept();
}

void TDesktopWindow::FormClose() {
    saveWindowState();
}

void TDesktopWindow::FormDestroy() {
    Timer1.stop();
    state.lyricLines.clear();
    state.lineTimes.clear();
    state.imageFiles.clear();
    state.folderSongs.clear();
    if (settings.setVolume) restoreVolume();
}

void TDesktopWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TDesktopWindow::loadSettings() {
    settings = readSettings(ProfileFile(settingsFilePath()));

    if (settings.stayOnTop && !stayOnTopChecked()) T1Click();
    if (settings.folderRepeat && !folderRepeatChecked()) N5Click();

    if (!fileOrFolderExists(settings.bgmFile)) settings.useBgm = false;
    if (!fileOrFolderExists(settings.messageFile)) settings.useMessage = false;
    if (!fileOrFolderExists(settings.imageFolder)) settings.useImages = false;

    if (settings.useBgm) applyPerSongFile(settings.bgmFile, settings);

    // A picture that exists but cannot be read ends the load here: the error
    // box names it, and the volume step below does not run.
    std::string mascot = mascotPicturePath(settings.imageFolder);
    if (isRegularFile(mascot) && !Image1.loadFromFile(mascot))
        throw std::runtime_error(mascot + " は有効な画像ではありません");

    if (settings.setVolume) applyConfiguredVolume();
}

void TDesktopWindow::saveWindowState() {
    settings.stayOnTop = stayOnTopChecked();
    ProfileFile file(settingsFilePath());
    writeWindowState(file, settings);
}

void TDesktopWindow::applyConfiguredVolume() {
    imposeConfiguredVolume(settings.volume, state.savedVolume);
}

void TDesktopWindow::restoreVolume() {
    restoreSavedVolume(state.savedVolume);
}

void TDesktopWindow::Timer1Timer() {}

}  // namespace orba
