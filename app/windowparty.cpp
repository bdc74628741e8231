// Party mode in the main window: its menu, the queue panel docked beside the
// frame (the host's view) and the guests' web server.
#include <QAction>
#include <QDockWidget>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "app/frameview.h"
#include "app/librarycontrol.h"
#include "app/partycontrol.h"
#include "app/queuepanel.h"
#include "app/tdesktopwindow.h"
#include "platform/handlerguard.h"
#include "settings/settingsstore.h"

namespace orba {

void TDesktopWindow::createPartyPanel() {
    m_party = std::make_unique<PartyControl>(
        m_player, m_library->file(), [this](const Command& c) {
            guarded([&] { m_player.run(c); });
        });

    QueuePanel::Actions actions;
    actions.run = [this](const Command& c) { m_player.run(c); };
    actions.closed = [this] {
        m_queueDock->hide();
        m_view->setFocus();
    };
    // The panel's widgets are made the first time it is needed (opened, told
    // of the party or of a change of the queue), and first shown the queue as
    // it stands here: the entry it keeps chosen is the one it would have.
    m_makeQueuePanel = [actions, atStart = m_player.partyQueue().state()] {
        auto* panel = new QueuePanel(actions);
        panel->showQueue(atStart);
        return panel;
    };
    // Only the player changes the queue, on this thread: the panel and the
    // guests' pages follow every change.
    m_player.partyQueue().setListener([this](const PartyQueueState& state) {
        queuePanel().showQueue(state);
        m_party->publish(state);
    });

    m_queueDock = addSidePanel(nullptr, QStringLiteral("QueueDock"));

    Party1 = menuBar()->addMenu(QStringLiteral("パーティー"));
    Party1->setObjectName(QStringLiteral("Party1"));
    PartyMode1 = new QAction(QStringLiteral("パーティーモード(&P)"), this);
    PartyMode1->setObjectName(QStringLiteral("PartyMode1"));
    PartyMode1->setCheckable(true);
    Party1->addAction(PartyMode1);
    connect(PartyMode1, &QAction::triggered, this, [this] { guarded([this] { PartyMode1Click(); }); });
    Queue1 = new QAction(QStringLiteral("キュー(&Q)..."), this);
    Queue1->setObjectName(QStringLiteral("Queue1"));
    Queue1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    Party1->addAction(Queue1);
    addAction(Queue1);
    connect(Queue1, &QAction::triggered, this, [this] { guarded([this] { Queue1Click(); }); });
}

QueuePanel& TDesktopWindow::queuePanel() {
    if (!m_queuePanel) {
        m_queuePanel = m_makeQueuePanel();
        m_queueDock->setWidget(m_queuePanel);
    }
    return *m_queuePanel;
}

bool TDesktopWindow::startParty(std::string* error) {
    const bool started = m_party->start(settingsFilePath(), error);
    PartyMode1->setChecked(started);
    queuePanel().showParty(m_party->guestAddress(), m_party->pin());
    if (started)
        m_player.postStatus("パーティーモード: " + m_party->guestAddress() + "|PIN " + m_party->pin());
    return started;
}

void TDesktopWindow::stopParty() {
    m_party->stop();
    PartyMode1->setChecked(false);
    queuePanel().showParty({}, {});
}

void TDesktopWindow::PartyMode1Click() {
    if (m_party->running()) {
        stopParty();
        return;
    }
    std::string error;
    if (!startParty(&error)) m_player.postStatus("パーティーモードを開始できません: " + error);
}

void TDesktopWindow::Queue1Click() {
    QueuePanel& panel = queuePanel();
    panel.showQueue(m_player.partyQueue().state());
    m_queueDock->show();
    panel.openPanel();
}

}  // namespace orba
