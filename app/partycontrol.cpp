#include "app/partycontrol.h"

#include <QMetaObject>
#include <QPointer>

#include "party/partyserver.h"
#include "platform/profilefile.h"
#include "player/player.h"
#include "settings/partysettings.h"

namespace orba {

Command partyCommand(const PartyAction& action, bool queuePaused) {
    switch (action.kind) {
        case PartyAction::Kind::Queue: {
            Command c{CommandKind::QueueSong};
            c.queue.songId = action.song;
            c.queue.singer = action.singer;
            return c;
        }
        case PartyAction::Kind::Remove: {
            Command c{CommandKind::RemoveQueueEntry};
            c.entry = action.entry;
            return c;
        }
        case PartyAction::Kind::Move: {
            Command c{CommandKind::MoveQueueEntry, action.to};
            c.entry = action.entry;
            return c;
        }
        case PartyAction::Kind::Skip:
            return {CommandKind::SkipQueueEntry};
        case PartyAction::Kind::Pause:
            return {CommandKind::PauseQueue, action.paused.value_or(!queuePaused) ? 1 : 0};
    }
    return {};
}

PartyOutcome partyOutcome(const PartyAction& action, const QueueOutcome& outcome,
                          bool queuePaused) {
    PartyOutcome out;
    out.paused = queuePaused;
    switch (action.kind) {
        case PartyAction::Kind::Queue:
            if (outcome.done) {
                out.entry = outcome.entry;
                return out;
            }
            switch (outcome.why) {
                case QueueRefusal::TooMany:
                    return {409, 0, queuePaused, "too many songs waiting for this singer"};
                case QueueRefusal::NoName:
                    return {400, 0, queuePaused, "a name is needed"};
                case QueueRefusal::KeyOutOfRange:
                case QueueRefusal::TempoOutOfRange:
                    return {400, 0, queuePaused, "key or tempo out of range"};
                case QueueRefusal::NoSong:
                case QueueRefusal::None:
                    return {404, 0, queuePaused, "no such song"};
            }
            return out;
        case PartyAction::Kind::Remove:
        case PartyAction::Kind::Move:
            if (!outcome.done) return {404, 0, queuePaused, "no such entry"};
            return out;
        case PartyAction::Kind::Skip:
        case PartyAction::Kind::Pause:
            return out;
    }
    return out;
}

PartyControl::PartyControl(Player& player, std::string libraryFile, CommandRunner run,
                           QObject* parent)
    : QObject(parent), m_player(player), m_libraryFile(std::move(libraryFile)),
      m_run(std::move(run)) {}

PartyControl::~PartyControl() {
    stop();
}

bool PartyControl::start(const std::string& settingsFile, std::string* error) {
    stop();
    const PartySettings settings = readPartySettings(ProfileFile(settingsFile));
    PartyOptions options;
    options.libraryFile = m_libraryFile;
    options.port = settings.port;
    // The server's thread hands each request here; `self` guards against a
    // request that comes in while the window goes.
    QPointer<PartyControl> self(this);
    m_server = std::make_unique<PartyServer>(
        options, [self](PartyAction action, std::function<void(PartyOutcome)> reply) {
            const bool posted = QMetaObject::invokeMethod(
                self.data(),
                [self, action = std::move(action), reply]() mutable {
                    if (self) self->handle(std::move(action), std::move(reply));
                },
                Qt::QueuedConnection);
            if (!posted) reply({503, 0, false, "the player is closing"});
        });
    if (!m_server->start(error)) {
        m_server.reset();
        return false;
    }
    m_player.setUpNextSeconds(settings.upNextSeconds);
    m_player.setPartyCodeShown(settings.showCode);
    m_player.setPartyAddress(m_server->guestAddress());
    publish(m_player.partyQueue().state());
    return true;
}

void PartyControl::stop() {
    if (!m_server) return;
    m_player.setPartyAddress({});
    m_player.setUpNextSeconds(0);
    m_server.reset();
}

bool PartyControl::running() const {
    return m_server != nullptr;
}

std::string PartyControl::guestAddress() const {
    return m_server ? m_server->guestAddress() : std::string();
}

std::string PartyControl::pin() const {
    return m_server ? m_server->pin() : std::string();
}

void PartyControl::handle(PartyAction action, std::function<void(PartyOutcome)> reply) {
    const bool wasPaused = m_player.partyQueue().paused();
    m_run(partyCommand(action, wasPaused));
    reply(partyOutcome(action, m_player.queueOutcome(), m_player.partyQueue().paused()));
}

void PartyControl::publish(const PartyQueueState& state) {
    if (!m_server) return;
    PartyQueueView view;
    view.now = state.playing;
    view.entries = playOrder(state);
    view.paused = state.paused;
    m_server->publishQueue(std::move(view));
}

}  // namespace orba
