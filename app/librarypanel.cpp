#include "app/librarypanel.h"

#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include "app/librarycontrol.h"
#include "library/library.h"
#include "platform/files.h"
#include "platform/handlerguard.h"

namespace orba {

namespace {

constexpr int kPanelWidth = 320;
constexpr int kLimit = 100;

bool present(const std::string& path) {
    return isRegularFile(path);
}

std::optional<PanelKey> panelKeyOf(int key) {
    switch (key) {
        case Qt::Key_Up:
            return PanelKey::Up;
        case Qt::Key_Down:
            return PanelKey::Down;
        case Qt::Key_PageUp:
            return PanelKey::PageUp;
        case Qt::Key_PageDown:
            return PanelKey::PageDown;
        default:
            return std::nullopt;
    }
}

}  // namespace

LibraryPanel::LibraryPanel(LibraryControl& library, Actions actions, QWidget* parent)
    : QWidget(parent), m_library(library), m_actions(std::move(actions)) {
    setObjectName(QStringLiteral("LibraryPanel"));
    setFixedWidth(kPanelWidth);
    setAutoFillBackground(true);
    // The player's window takes no input method; a search for Japanese
    // words needs one.
    setAttribute(Qt::WA_InputMethodEnabled, true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    auto* title = new QLabel(QStringLiteral("ライブラリ検索"), this);
    layout->addWidget(title);

    m_field = new QLineEdit(this);
    m_field->setObjectName(QStringLiteral("LibrarySearch"));
    m_field->setPlaceholderText(QStringLiteral("曲名・歌手名・歌詞"));
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    layout->addWidget(m_field);

    m_note = new QLabel(this);
    m_note->setObjectName(QStringLiteral("LibraryNote"));
    m_note->setWordWrap(true);
    layout->addWidget(m_note);

    m_list = new QListWidget(this);
    m_list->setObjectName(QStringLiteral("LibraryResults"));
    // The field keeps the focus; the list follows its keys.
    m_list->setFocusPolicy(Qt::NoFocus);
    m_list->setWordWrap(false);
    m_list->setAlternatingRowColors(true);
    m_list->setTextElideMode(Qt::ElideRight);
    layout->addWidget(m_list, 1);

    connect(m_field, &QLineEdit::textChanged, this, [this] { guarded([this] { search(); }); });
    connect(m_list, &QListWidget::itemActivated, this,
            [this] { guarded([this] { chooseSelected(); }); });
    connect(&m_library, &LibraryControl::songsChanged, this, [this] {
        if (isVisible()) guarded([this] { search(); });
    });
}

void LibraryPanel::openPanel() {
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
    search();
}

void LibraryPanel::closePanel() {
    if (m_actions.closed) m_actions.closed();
}

int LibraryPanel::selectedRow() const {
    return m_list->currentRow();
}

QString LibraryPanel::noteText() const {
    return m_note->text();
}

void LibraryPanel::search() {
    m_facts = {};
    m_facts.query = m_field->text().toStdString();
    m_rows.clear();
    Library* library = m_library.library();
    if (!library) {
        m_facts.openError = m_library.openError();
    } else {
        try {
            m_facts.notice = library->notice();
            m_facts.folders = library->folders().size();
            m_rows = resultRows(library->search(m_facts.query, kLimit), present);
        } catch (const std::exception& e) {
            m_facts.openError = e.what();
        }
    }
    m_facts.rows = m_rows.size();
    showRows();
}

void LibraryPanel::showRows() {
    m_list->clear();
    for (const ResultRow& row : m_rows) {
        auto* item = new QListWidgetItem(QString::fromStdString(rowText(row)), m_list);
        item->setToolTip(QFile::decodeName(row.path.c_str()));
        if (row.missing) item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
    }
    if (!m_rows.empty()) m_list->setCurrentRow(0);
    m_note->setText(QString::fromStdString(panelNote(m_facts)));
}

int LibraryPanel::pageRows() const {
    const int row = m_list->count() > 0 ? m_list->sizeHintForRow(0) : 0;
    return row > 0 ? m_list->viewport()->height() / row : 1;
}

void LibraryPanel::chooseSelected() {
    const RowChoice choice = chooseRow(m_rows, selectedRow(), present);
    switch (choice.kind) {
        case RowChoice::Kind::Nothing:
            return;
        case RowChoice::Kind::Missing: {
            m_note->setText(QString::fromStdString(choice.message));
            if (m_actions.status) m_actions.status(choice.message);
            // The row shows what Enter found.
            const int at = selectedRow() >= 0 ? selectedRow() : 0;
            ResultRow& row = m_rows[static_cast<std::size_t>(at)];
            row.missing = true;
            if (QListWidgetItem* item = m_list->item(at)) {
                item->setText(QString::fromStdString(rowText(row)));
                item->setForeground(palette().brush(QPalette::Disabled, QPalette::Text));
            }
            return;
        }
        case RowChoice::Kind::Play:
            closePanel();
            if (m_actions.play) m_actions.play(choice.path);
            return;
    }
}

void LibraryPanel::queueSelected() {
    const RowChoice choice = chooseRow(m_rows, selectedRow(), present);
    // A row that cannot play is told as Enter tells it.
    if (choice.kind != RowChoice::Kind::Play) return chooseSelected();
    if (m_actions.queue) m_actions.queue(choice.path);
}

bool LibraryPanel::panelKey(const QKeyEvent& event) {
    if (const std::optional<PanelKey> key = panelKeyOf(event.key())) {
        const int to = movedSelection(selectedRow(), m_list->count(), *key, pageRows());
        if (to >= 0) m_list->setCurrentRow(to);
        return true;
    }
    switch (event.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (event.modifiers() & Qt::ShiftModifier)
                queueSelected();
            else
                chooseSelected();
            return true;
        case Qt::Key_Escape:
            closePanel();
            return true;
        default:
            return false;
    }
}

bool LibraryPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        bool handled = false;
        guarded([&] { handled = panelKey(*static_cast<QKeyEvent*>(event)); });
        return handled;
    }
    return QWidget::eventFilter(watched, event);
}

void LibraryPanel::keyPressEvent(QKeyEvent* event) {
    // Keys the field left alone stop here: the player behind the panel
    // does not see them.
    guarded([&] { panelKey(*event); });
    event->accept();
}

}  // namespace orba
