// Menus, full screen and stay on top of the main window.
#include <QAction>
#include <QCursor>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPixmap>
#include <QStyle>

#include "app/exportdialog.h"
#include "app/frameview.h"
#include "app/menubarstyle.h"
#include "app/shellrules.h"
#include "app/tdesktopwindow.h"
#include "platform/handlerguard.h"
#include "resources/menuicons.h"
#include "settings/tsetting.h"

namespace orba {

namespace {
QIcon iconNumber(int index) {
    return QIcon(QPixmap::fromImage(menuIcon(index)));
}
}  // namespace

void TDesktopWindow::createMenus() {
    QMenuBar* bar = menuBar();
    auto* style = new MenuBarStyle(bar->style()->name());
    style->setParent(bar);
    bar->setStyle(style);
    // A check mark belongs to its handler, which inverts it; Qt's own toggle
    // on a click is taken back before the handler runs.
    auto addEntry = [this](QMenu* menu, const char* name, const QString& caption, int icon,
                           void (TDesktopWindow::*handler)(), bool checkable = false) {
        QAction* a = menu->addAction(iconNumber(icon), caption);
        a->setObjectName(QString::fromLatin1(name));
        a->setCheckable(checkable);
        connect(a, &QAction::triggered, this, [this, a, handler, checkable](bool checked) {
            if (checkable) a->setChecked(!checked);
            guarded([this, handler] { (this->*handler)(); });
        });
        return a;
    };

    File1 = bar->addMenu(iconNumber(4), QStringLiteral("ファイル(&F)"));
    File1->setObjectName(QStringLiteral("File1"));
    Open1 = addEntry(File1, "Open1", QStringLiteral("開く(&O)"), 1, &TDesktopWindow::Open1Click);
    QAction* exportVideo = File1->addAction(QStringLiteral("動画に書き出す..."));
    exportVideo->setObjectName(QStringLiteral("ExportVideo1"));
    connect(exportVideo, &QAction::triggered, this,
            [this] { guarded([this] { exportVideoDialog(this, m_player); }); });
    File1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Exit1 = addEntry(File1, "Exit1", QStringLiteral("終了(&X)"), 2, &TDesktopWindow::Exit1Click);

    Edit1 = bar->addMenu(iconNumber(5), QStringLiteral("編集(&E)"));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    N2 = addEntry(Edit1, "N2", QStringLiteral("タイムタグ編集モード(&T)"), 6,
                  &TDesktopWindow::N2Click);

    I1 = bar->addMenu(iconNumber(0), QStringLiteral("オプション(&O)"));
    I1->setObjectName(QStringLiteral("I1"));
    T1 = addEntry(I1, "T1", QStringLiteral("常に最前面に表示(&T)"), 7, &TDesktopWindow::T1Click,
                  true);
    F1 = addEntry(I1, "F1", QStringLiteral("フルスクリーン切替(&F) (Alt+Enter)"), 3,
                  &TDesktopWindow::F1Click);
    I1->addSeparator()->setObjectName(QStringLiteral("N3"));
    N5 =
        addEntry(I1, "N5", QStringLiteral("フォルダ内連続再生"), 8, &TDesktopWindow::N5Click, true);
    I1->addSeparator()->setObjectName(QStringLiteral("N4"));
    S1 = addEntry(I1, "S1", QStringLiteral("設定(&S)"), 0, &TDesktopWindow::S1Click);
}

QAction* TDesktopWindow::menuEntry(const char* name) const {
    return findChild<QAction*>(QString::fromLatin1(name));
}

bool TDesktopWindow::stayOnTopChecked() const {
    return T1->isChecked();
}
bool TDesktopWindow::folderRepeatChecked() const {
    return N5->isChecked();
}

void TDesktopWindow::setMenusVisible(bool visible) {
    File1->menuAction()->setVisible(visible);
    Edit1->menuAction()->setVisible(visible);
    I1->menuAction()->setVisible(visible);
    Library1->menuAction()->setVisible(visible);
    // A bar without entries takes no room, as a menu bar with nothing shown.
    menuBar()->setVisible(visible);
}

void TDesktopWindow::Exit1Click() {
    close();
}

void TDesktopWindow::N2Click() {
    m_player.run(
        {CommandKind::SetTimeEditMode, m_player.state().timeEdit.timeEditMode ? 0 : 1, {}});
}

void TDesktopWindow::T1Click() {
    T1->setChecked(!T1->isChecked());
    const bool wasVisible = isVisible();
    setWindowFlag(Qt::WindowStaysOnTopHint, T1->isChecked());
    // Changing a window flag hides the window; show it again as it was.
    if (wasVisible) show();
}

void TDesktopWindow::F1Click() {
    if (!m_borderNone) {
        setMenusVisible(false);
        m_savedGeometry = geometry();
        m_borderNone = true;
        showFullScreen();
        return;
    }
    showNormal();
    setGeometry(m_savedGeometry);
    m_borderNone = false;
    setMenusVisible(true);
    if (T1->isChecked()) {
        T1->setChecked(false);
        T1Click();
    }
}

void TDesktopWindow::FormDblClick() {
    F1Click();
}

void TDesktopWindow::FormMouseMove(int, int y) {
    if (!m_borderNone) return;
    setMenusVisible(menusShownAtMouseY(y));
}

void TDesktopWindow::N5Click() {
    N5->setChecked(!N5->isChecked());
    m_player.run({CommandKind::SetFolderPlay, N5->isChecked() ? 1 : 0});
}

void TDesktopWindow::updateCursor() {
    CursorInputs in;
    in.maximised = isFullScreen() || isMaximized();
    in.borderNone = m_borderNone;
    Qt::CursorShape shape = Qt::ArrowCursor;
    if (cursorPositionNeeded(in.maximised, in.borderNone)) {
        // The full-screen window covers the screen, so the mouse events it
        // receives carry every move; asking the X server instead would cost a
        // round trip every frame. Asked once, on coming into full screen.
        if (!m_pointerKnown) {
            m_pointer = QCursor::pos();
            m_pointerKnown = true;
        }
        in.mouseX = m_pointer.x();
        in.mouseY = m_pointer.y();
        in.previousKnown = m_previousCursor.has_value();
        if (m_previousCursor) {
            in.previousX = m_previousCursor->x();
            in.previousY = m_previousCursor->y();
        }
        m_previousCursor = m_pointer;
        if (cursorHidden(in)) shape = Qt::BlankCursor;
    } else {
        m_pointerKnown = false;
        m_previousCursor.reset();
    }
    // Setting the same cursor again would still be a request to the X server.
    if (shape != m_cursorShape) {
        setCursor(shape);
        m_cursorShape = shape;
    }
}

bool TDesktopWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseMove || event->type() == QEvent::Enter) {
        if (const auto* pointer = dynamic_cast<const QSinglePointEvent*>(event)) {
            m_pointer = pointer->globalPosition().toPoint();
            m_pointerKnown = true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

}  // namespace orba
