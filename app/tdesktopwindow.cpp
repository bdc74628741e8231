#include "app/tdesktopwindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QUrl>

#include "app/frameview.h"
#include "app/librarycontrol.h"
#include "app/orbaapplication.h"
#include "app/partycontrol.h"
#include "app/partyqueuestore.h"
#include "app/shellrules.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/handlerguard.h"
#include "platform/keys.h"
#include "platform/sjistext.h"
#include "platform/startuptrace.h"
#include "settings/tsetting.h"

namespace orba {

TDesktopWindow::TDesktopWindow(QWidget* parent) : QMainWindow(parent), m_player(*this) {
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    m_view = new FrameView(this);
    setCentralWidget(m_view);
    m_view->setFocus();

    Timer1.setInterval(15);
    Timer1.setTimerType(Qt::PreciseTimer);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        guarded([this] { Timer1Timer(); });
        // The song's end is acted on once its last frame is on the screen.
        guarded([this] { m_player.afterFrame(); });
    });

    createMenus();
    createLibraryPanel();
    createPartyPanel();
    FormCreate();
    qApp->installEventFilter(this);
}

TDesktopWindow::~TDesktopWindow() {
    // A dialog made by the window goes first, as one made before it would.
    m_setting = nullptr;
    m_ownSetting.reset();
    FormDestroy();
    // The scanner's thread ends while the player it reports to is whole.
    // The panel goes later with the window's other children and does not
    // touch the library on its way (the dock is not deleted here: Qt's
    // main window layout keeps pointers to its docks until its own end).
    // The server goes first: no request may reach a player on its way out.
    m_party.reset();
    m_player.partyQueue().setListener({});
    m_player.partyQueue().attachStore(nullptr);
    m_queueStore.reset();
    m_library.reset();
}

void TDesktopWindow::FormCreate() {
    // The client area is the view; its size does not count the menu bar.
    m_view->setMinimumSize(1, 1);
    resize(800, 600 + menuBar()->sizeHint().height());
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
    m_backBuffer = Bitmap(800, 600);
    m_player.setPicturesDecodedAhead(true);

    guarded([this] { loadSettings(); });

    // Keys must arrive as plain key presses, never through an input method.
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void TDesktopWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    guarded([this] { FormShow(); });
}

void TDesktopWindow::FormShow() {
    setAcceptDrops(true);
    if (!m_firstShow) return;
    m_firstShow = false;
    m_player.warmLyricFont();
    m_player.run({CommandKind::OpenFirstSong, m_startInTimeEditMode ? 1 : 0, m_commandLineFile});
    startupMark("song-opened");
    startLibraryWatch();
}

void TDesktopWindow::closeEvent(QCloseEvent* event) {
    // A settings file that cannot be written is reported, but must not keep
    // the user from closing the player.
    guarded([this] { FormClose(); });
    event->accept();
}

void TDesktopWindow::FormClose() {
    saveWindowState();
}

void TDesktopWindow::FormDestroy() {
    Timer1.stop();
    m_player.restoreVolume();
}

void TDesktopWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TDesktopWindow::dropEvent(QDropEvent* event) {
    const QList<QUrl> urls = event->mimeData()->urls();
    if (urls.isEmpty()) return;
    event->acceptProposedAction();
    // Further dropped files are ignored.
    const std::string first = urls.front().toLocalFile().toStdString();
    guarded([this, &first] { dropFiles(first); });
}

void TDesktopWindow::dropFiles(const std::string& firstPath) {
    m_player.run({CommandKind::DropSong, 0, firstPath});
}

void TDesktopWindow::loadSettings() {
    m_player.loadSettings();
}

void TDesktopWindow::saveWindowState() {
    m_player.saveWindowState();
}

void TDesktopWindow::Open1Click() {
    TSetting* setting = settingDialog();
    if (!setting) return;
    if (std::optional<std::string> file = setting->chooseMusicFile(/*songFilesToo=*/true))
        m_player.run({CommandKind::OpenSong, 0, *file});
}

void TDesktopWindow::S1Click() {
    saveWindowState();
    TSetting* setting = settingDialog();
    if (!setting || setting->exec() != QDialog::Accepted) return;
    m_player.run({CommandKind::ApplySettings});
}

void TDesktopWindow::Timer1Timer() {
    const auto [cw, ch] = clientSize();
    m_view->aimBackBuffer(m_backBuffer);
    if (m_player.frame(m_backBuffer, cw, ch, tickCount()).drawn) m_view->frameDrawn();
}

void TDesktopWindow::setTimerEnabled(bool on) {
    if (on) {
        Timer1.start();
        m_player.frameTimerStarted(tickCount());
    } else
        Timer1.stop();
}

void TDesktopWindow::setCaption(const std::string& caption) {
    setWindowTitle(utf8OrSjisText(caption));
}

void TDesktopWindow::checkMenus(bool stayOnTop, bool folderRepeat) {
    if (stayOnTop && !stayOnTopChecked()) T1Click();
    if (folderRepeat && !folderRepeatChecked()) N5Click();
}

void TDesktopWindow::keyPressEvent(QKeyEvent* event) {
    // Keys reach the player only through the window: an open menu or the
    // modal settings dialog takes them first, and nothing else listens.
    const VirtualKey key = virtualKey(*event);
    if (key.code == 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    event->accept();
    guarded([this, key] { m_player.run(decideKey(key, m_player.settings(), m_player.state())); });
}

void TDesktopWindow::toggleFullScreen() {
    F1Click();
}

void TDesktopWindow::drawFrame() {
    Timer1Timer();
    m_view->repaint();
}

std::pair<int, int> TDesktopWindow::clientSize() const {
    // A minimised window keeps its size in Qt; the frame must see none.
    if (isMinimized()) return {0, 0};
    return {m_view->width(), m_view->height()};
}

void TDesktopWindow::beep() {
    QApplication::beep();
}

}  // namespace orba
