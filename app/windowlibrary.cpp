// The song library in the main window: the search panel docked beside the
// frame, its menu entry, and the folder watch that starts with the window.
#include <QAction>
#include <QDockWidget>
#include <QInputDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include "app/frameview.h"
#include "app/librarycontrol.h"
#include "app/librarypanel.h"
#include "app/partyqueuestore.h"
#include "app/tdesktopwindow.h"
#include "library/library.h"
#include "platform/handlerguard.h"
#include "settings/tsetting.h"

namespace orba {

void TDesktopWindow::createLibraryPanel() {
    m_library = std::make_unique<LibraryControl>(
        libraryFileFromEnvironment(),
        [this](std::string text) { m_player.postStatus(std::move(text)); });
    // The party queue lives in the library's file: what was waiting when the
    // player last closed is waiting again.
    m_queueStore = std::make_unique<LibraryQueueStore>(
        *m_library, [this](std::string text) { m_player.postStatus(std::move(text)); });
    m_player.partyQueue().attachStore(m_queueStore.get());

    LibraryPanel::Actions actions;
    actions.play = [this](const std::string& path) {
        guarded([&] { m_player.run({CommandKind::OpenSong, 0, path}); });
    };
    actions.queue = [this](const std::string& path) {
        guarded([&] {
            bool ok = false;
            const QString name = QInputDialog::getText(this, QStringLiteral("キューに入れる"),
                                                       QStringLiteral("歌う人の名前:"),
                                                       QLineEdit::Normal, m_lastSinger, &ok);
            if (!ok) return;
            m_lastSinger = name;
            Command c{CommandKind::QueueSong};
            c.queue.path = path;
            c.queue.singer = name.toStdString();
            m_player.run(c);
        });
    };
    actions.status = [this](const std::string& text) { m_player.postStatus(text); };
    actions.closed = [this] {
        m_panelDock->hide();
        m_view->setFocus();
    };
    m_makePanel = [this, actions] { return new LibraryPanel(*m_library, actions); };
    m_panelDock = addSidePanel(nullptr, QStringLiteral("LibraryDock"));

    Library1 = menuBar()->addMenu(QStringLiteral("ライブラリ"));
    Library1->setObjectName(QStringLiteral("Library1"));
    // The window's own action, also in the window's list: the key works
    // while full screen hides the menus.
    Find1 = new QAction(QStringLiteral("曲を検索(&F)..."), this);
    Library1->addAction(Find1);
    Find1->setObjectName(QStringLiteral("Find1"));
    Find1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(Find1);
    connect(Find1, &QAction::triggered, this, [this] { guarded([this] { Find1Click(); }); });
}

QDockWidget* TDesktopWindow::addSidePanel(QWidget* panel, const QString& name) {
    // A dock takes its room from the frame instead of covering it: the frame
    // is drawn straight into the window's pixels, over anything laid on it.
    auto* dock = new QDockWidget(this);
    dock->setObjectName(name);
    dock->setFeatures(QDockWidget::NoDockWidgetFeatures);
    auto* noTitle = new QWidget(dock);
    noTitle->setFixedSize(0, 0);
    dock->setTitleBarWidget(noTitle);
    dock->setWidget(panel);
    addDockWidget(Qt::RightDockWidgetArea, dock);
    dock->hide();
    return dock;
}

LibraryPanel& TDesktopWindow::libraryPanel() {
    if (!m_panel) {
        m_panel = m_makePanel();
        m_panelDock->setWidget(m_panel);
    }
    return *m_panel;
}

void TDesktopWindow::Find1Click() {
    LibraryPanel& panel = libraryPanel();
    m_panelDock->show();
    panel.openPanel();
}

void TDesktopWindow::setSettingDialog(TSetting* dialog) {
    m_setting = dialog;
    if (m_setting) m_setting->setLibraryFolders(m_library.get());
}

TSetting* TDesktopWindow::settingDialog() {
    if (!m_setting && m_makeSetting) {
        m_ownSetting = m_makeSetting();
        setSettingDialog(m_ownSetting.get());
    }
    return m_setting;
}

void TDesktopWindow::startLibraryWatch() {
    // After the first song: the walk over the folders runs on the scanner's
    // worker, but its thread and watch need not delay the first frame.
    QTimer::singleShot(0, this, [this] { guarded([this] { m_library->startWatch(); }); });
}

std::optional<int> TDesktopWindow::recordScore(const std::string& song, int total) {
    // A library that cannot be opened keeps no score; the song was sung all the same.
    Library* library = m_library ? m_library->library() : nullptr;
    if (!library || song.empty()) return std::nullopt;
    try {
        return library->recordScore(song, total);
    } catch (const std::exception& e) {
        m_player.postStatus(e.what());
        return std::nullopt;
    }
}

}  // namespace orba
