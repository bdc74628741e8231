#include "app/queuepanel.h"

#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/handlerguard.h"
#include "player/partyqueue.h"

namespace orba {

namespace {

constexpr int kPanelWidth = 320;

QString entryText(const QueueEntry& e) {
    return QString::fromStdString(e.singer) + QStringLiteral(" — ") +
           QString::fromStdString(e.title);
}

}  // namespace

std::optional<Command> queuePanelCommand(int key, bool ctrl, int selected,
                                         const PartyQueueState& state) {
    const std::vector<QueueEntry> order = playOrder(state);
    const bool chosen = selected >= 0 && selected < static_cast<int>(order.size());
    switch (key) {
        case Qt::Key_Up:
        case Qt::Key_Down: {
            if (!ctrl || !chosen) return std::nullopt;
            const int to = selected + (key == Qt::Key_Up ? -1 : +1);
            if (to < 0 || to >= static_cast<int>(order.size())) return Command{};
            Command c{CommandKind::MoveQueueEntry, to};
            c.entry = order[static_cast<std::size_t>(selected)].id;
            return c;
        }
        case Qt::Key_Delete: {
            if (!chosen) return Command{};
            Command c{CommandKind::RemoveQueueEntry};
            c.entry = order[static_cast<std::size_t>(selected)].id;
            return c;
        }
        case Qt::Key_S:
            return Command{CommandKind::SkipQueueEntry};
        case Qt::Key_P:
            return Command{CommandKind::PauseQueue, state.paused ? 0 : 1};
        default:
            return std::nullopt;
    }
}

QueuePanel::QueuePanel(Actions actions, QWidget* parent)
    : QWidget(parent), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("QueuePanel"));
    setFixedWidth(kPanelWidth);
    setAutoFillBackground(true);
    setFocusPolicy(Qt::StrongFocus);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addWidget(new QLabel(QStringLiteral("キュー"), this));
    m_party = new QLabel(this);
    m_party->setObjectName(QStringLiteral("QueueParty"));
    m_party->setWordWrap(true);
    m_party->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_party);
    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("QueueEntries"));
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setTextElideMode(Qt::ElideRight);
    layout->addWidget(m_list, 1);
    auto* keys = new QLabel(
        QStringLiteral("Ctrl+↑↓ 移動 ・ Delete 削除 ・ S スキップ ・ P 一時停止 ・ Esc 閉じる"), this);
    keys->setWordWrap(true);
    layout->addWidget(keys);
    showParty({}, {});
}

void QueuePanel::showQueue(const PartyQueueState& state) {
    const int chosen = selectedEntryRow();
    const std::int64_t chosenId = chosen >= 0 && chosen < static_cast<int>(m_state.waiting.size())
                                      ? playOrder(m_state)[static_cast<std::size_t>(chosen)].id
                                      : 0;
    m_state = state;
    const std::vector<QueueEntry> order = playOrder(m_state);
    m_list->clear();
    QString now = m_state.playing ? QStringLiteral("♪ ") + entryText(*m_state.playing)
                                  : QStringLiteral("♪ (なし)");
    if (m_state.paused) now += QStringLiteral("  [一時停止中]");
    m_list->addItem(now);
    int select = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        m_list->addItem(QString::number(i + 1) + QStringLiteral(". ") + entryText(order[i]));
        if (order[i].id == chosenId) select = static_cast<int>(i);
    }
    if (select < 0 && !order.empty()) select = std::min<int>(std::max(chosen, 0), order.size() - 1);
    if (select >= 0) m_list->setCurrentRow(select + 1);
}

void QueuePanel::showParty(const std::string& address, const std::string& pin) {
    if (address.empty()) {
        m_party->setText(QStringLiteral("パーティーモードはオフです"));
        return;
    }
    m_party->setText(QString::fromStdString(address) + QStringLiteral("\nPIN: ") +
                     QString::fromStdString(pin));
}

void QueuePanel::openPanel() {
    setFocus();
}

QStringList QueuePanel::rowTexts() const {
    QStringList rows;
    for (int i = 0; i < m_list->count(); ++i) rows << m_list->item(i)->text();
    return rows;
}

int QueuePanel::selectedEntryRow() const {
    return m_list->currentRow() - 1;
}

QString QueuePanel::partyText() const {
    return m_party->text();
}

void QueuePanel::keyPressEvent(QKeyEvent* event) {
    guarded([&] {
        const bool ctrl = event->modifiers() & Qt::ControlModifier;
        const int selected = selectedEntryRow();
        const int count = static_cast<int>(m_state.waiting.size());
        if (event->key() == Qt::Key_Escape) {
            if (m_actions.closed) m_actions.closed();
            return;
        }
        if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !ctrl) {
            if (count == 0) return;
            const int to = std::clamp(selected + (event->key() == Qt::Key_Up ? -1 : 1), 0, count - 1);
            m_list->setCurrentRow(to + 1);
            return;
        }
        const std::optional<Command> c = queuePanelCommand(event->key(), ctrl, selected, m_state);
        if (!c) return;  // every key stays the panel's
        if (c->kind != CommandKind::None && m_actions.run) m_actions.run(*c);
    });
}

}  // namespace orba
