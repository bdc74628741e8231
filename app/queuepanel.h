// The party queue beside the frame: the host's view. It lists the song
// being sung and the waiting songs in the order they will play, with the
// guests' page address and the host PIN above them. Its keys are its own
// while it has the focus:
//   Up, Down          choose a waiting song
//   Ctrl+Up, Ctrl+Down  move the chosen song one place earlier or later
//   Delete            take the chosen song out of the queue
//   S                 skip: the song being sung ends, the next one comes
//   P                 pause the queue (song ends take no entry) and go on
//   Escape            close the panel
// Each becomes a player command, the same a guest's phone or the host's
// page sends.
#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "player/command.h"
#include "settings/queuevalues.h"

class QLabel;
class QListWidget;

namespace orba {

// The command a key of the panel means with `selected` the chosen row of
// the waiting songs (-1: none) in a queue of `waiting` songs; none for a
// key that is not the panel's.
std::optional<Command> queuePanelCommand(int key, bool ctrl, int selected,
                                         const PartyQueueState& state);

class QueuePanel : public QWidget {
    Q_OBJECT
public:
    struct Actions {
        std::function<void(const Command&)> run;
        // Escape: whoever shows the panel hides it and takes the focus back.
        std::function<void()> closed;
    };

    explicit QueuePanel(Actions actions, QWidget* parent = nullptr);

    // The queue as it is now; the chosen song stays chosen where it can.
    void showQueue(const PartyQueueState& state);
    // The page's address and PIN, or that party mode is off.
    void showParty(const std::string& address, const std::string& pin);
    void openPanel();

    // Row 0 is the song being sung (or "nothing"); the waiting songs follow.
    QStringList rowTexts() const;
    int selectedEntryRow() const;
    QString partyText() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    Actions m_actions;
    QLabel* m_party = nullptr;
    QListWidget* m_list = nullptr;
    PartyQueueState m_state;
};

}  // namespace orba
