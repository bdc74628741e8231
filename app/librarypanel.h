// The search panel beside the frame: a search field, the songs found (title,
// artist and the lyric line that matched) and a note. While it has the
// focus every key is its own: Up, Down, Page Up and Page Down move in the
// list even from the search field, Enter plays the chosen song, Escape
// closes the panel; no key reaches the player behind it.
//
// A search runs on every change of the text, on the window's thread: the
// catalogue answers in milliseconds, well inside a frame.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "library/libraryview.h"

class QLabel;
class QLineEdit;
class QListWidget;

namespace orba {

class LibraryControl;

class LibraryPanel : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        // Plays the song of a present file.
        std::function<void(const std::string& path)> play;
        // Shift+Enter: queues the song of a present file for a singer; the
        // panel stays open for the next one.
        std::function<void(const std::string& path)> queue;
        // Tells the user something on the window's status line.
        std::function<void(const std::string& text)> status;
        // Escape, or a song chosen: whoever shows the panel hides it (a
        // dock's content hiding itself would leave the dock without a size)
        // and takes the focus back.
        std::function<void()> closed;
    };

    LibraryPanel(LibraryControl& library, Actions actions, QWidget* parent = nullptr);

    // Focuses the search field with its text selected and searches again
    // (the library may have changed since); the owner shows the panel.
    void openPanel();
    void closePanel();

    // What the list shows, and the row chosen (-1: none).
    const std::vector<ResultRow>& rows() const { return m_rows; }
    int selectedRow() const;
    QString noteText() const;
    QLineEdit* searchField() const { return m_field; }

    // Searches again for the text shown.
    void search();
    // Enter: plays the chosen row, or says why it cannot.
    void chooseSelected();
    void queueSelected();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Handles a key of the panel's own; false for keys the field edits with.
    bool panelKey(const QKeyEvent& event);
    void showRows();
    int pageRows() const;

    LibraryControl& m_library;
    Actions m_actions;
    QLineEdit* m_field = nullptr;
    QListWidget* m_list = nullptr;
    QLabel* m_note = nullptr;
    std::vector<ResultRow> m_rows;
    PanelFacts m_facts;
};

}  // namespace orba
