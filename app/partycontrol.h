// The window's side of party mode: the guests' web server, the requests it
// hands over as player commands, and the queue pushed back to the pages.
//
// Threads: the server calls the action handler on its own thread; the
// handler posts the command to this object's (the window's) thread, runs it
// there through the window's guard like a key, and replies from there. The
// window publishes every change of the queue (only the player changes it,
// on the window's thread); the server pushes a copy to every page.
#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <string>

#include "player/command.h"

namespace orba {

class Player;
class PartyServer;
struct PartyAction;
struct PartyOutcome;
struct PartyQueueState;

class PartyControl : public QObject {
    Q_OBJECT
public:
    // Runs a command as the window runs a key's (its guard around it).
    using CommandRunner = std::function<void(const Command&)>;

    PartyControl(Player& player, std::string libraryFile, CommandRunner run,
                 QObject* parent = nullptr);
    ~PartyControl() override;

    // Reads the [Party] settings from `settingsFile` and starts serving; a
    // new address token and PIN every start. False, with `error` set, when
    // the port cannot be had.
    bool start(const std::string& settingsFile, std::string* error);
    void stop();
    bool running() const;

    std::string guestAddress() const;
    std::string pin() const;

    // The queue as it is now, to every guest's page (nothing while off).
    void publish(const PartyQueueState& state);

private:
    void handle(PartyAction action, std::function<void(PartyOutcome)> reply);

    Player& m_player;
    std::string m_libraryFile;
    CommandRunner m_run;
    std::unique_ptr<PartyServer> m_server;
};

// The command a guest's or the host's request becomes, and the answer the
// page gets once the player ran it.
Command partyCommand(const PartyAction& action, bool queuePaused);
PartyOutcome partyOutcome(const PartyAction& action, const QueueOutcome& outcome,
                          bool queuePaused);

}  // namespace orba
