// The party server's thread side: its listening socket, the connections and
// their limits, the requests, the WebSocket clients and the actions waiting
// for the player. Everything here runs on the server's thread; the player's
// replies come back through its Mailbox, which outlives the core so that a
// late reply after a stop finds nothing to touch.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <vector>

#include "party/httpmessage.h"
#include "party/partyrules.h"
#include "party/partyserver.h"
#include "party/searchpool.h"

class QTcpServer;
class QTcpSocket;
class QTimer;
class QWebSocket;
class QWebSocketServer;

namespace orba::party {

class PartyCore;

// Work for the core's thread from other threads: the player's replies,
// search answers, the published queue, start and stop. The work itself
// passes under a mutex and Qt's queued call only wakes the thread, so the
// hand-over is ordered for every thread checker, not only for Qt. The box
// outlives the core: work posted after a stop is dropped.
class Mailbox {
public:
    explicit Mailbox(PartyCore* core) : m_core(core) {}
    void post(std::function<void(PartyCore&)> work);
    // On the core's thread: no work runs after this.
    void close();
    void drain();

private:
    std::mutex m_mutex;
    PartyCore* m_core;
    std::vector<std::function<void(PartyCore&)>> m_work;
    bool m_wakeQueued = false;
};

class PartyCore : public QObject {
    Q_OBJECT
public:
    PartyCore(PartyOptions options, PartyServer::ActionHandler handler, std::string token,
              std::string pin, std::string queueJson);
    ~PartyCore() override;

    const std::shared_ptr<Mailbox>& mailbox() const { return m_mailbox; }
    // On the server's thread.
    bool listen(std::string* error);
    int port() const;
    void publish(std::string queueJson);
    void finishAction(std::uint64_t action, PartyOutcome outcome);
    void finishSearch(std::uint64_t job, std::optional<std::string> json);
    void shutdown();
    // The mailbox's wake-up, called by name: a queued functor's captures
    // would cross threads outside the mailbox's mutex.
    // The box is held here for the drain: a stop in it deletes the core.
    Q_INVOKABLE void drainMailbox() {
        const std::shared_ptr<Mailbox> box = m_mailbox;
        box->drain();
    }

private:
    struct Counts;
    struct Slot;
    struct Connection;
    struct Listener;
    struct Handoff;
    struct Peer {
        RateBucket bucket;
        int pinFailures = 0;
    };
    struct Pending {
        std::uint64_t connection = 0;
        PartyAction::Kind kind = PartyAction::Kind::Queue;
    };

    void accept();
    bool evictIdle();
    void readFrom(std::uint64_t id);
    void handle(Connection& c, const std::string& body);
    void handOff(Connection& c, const RequestHead& head);
    void takeWebSockets();
    void search(Connection& c);
    void dispatch(Connection& c, PartyAction action);
    void respond(Connection& c, int status, std::string_view contentType, std::string_view body,
                 bool close, std::string_view extraHeaders = {});
    void respondJson(Connection& c, int status, std::string_view body, bool close = false);
    void refuseLater(Connection& c);
    void drop(std::uint64_t id);
    void sweep();
    Connection* find(std::uint64_t id);
    bool admitted(Connection& c);

    PartyOptions m_options;
    PartyServer::ActionHandler m_handler;
    std::string m_token;
    std::string m_pin;
    std::string m_queueJson;
    std::shared_ptr<Mailbox> m_mailbox;
    std::shared_ptr<Counts> m_counts;

    std::unique_ptr<SearchPool> m_searches;
    QTcpServer* m_server = nullptr;
    QWebSocketServer* m_webSockets = nullptr;
    QTimer* m_sweep = nullptr;
    int m_maxConnections = 0;

    std::uint64_t m_nextId = 1;
    std::unordered_map<std::uint64_t, std::unique_ptr<Connection>> m_connections;
    std::vector<std::unique_ptr<Listener>> m_listeners;
    std::map<std::pair<std::string, quint16>, std::unique_ptr<Handoff>> m_handoffs;
    std::unordered_map<std::string, Peer> m_peers;
    std::unordered_map<std::uint64_t, Pending> m_pending;
    std::unordered_map<std::uint64_t, std::uint64_t> m_searching;  // job -> connection
    std::int64_t m_lastPrune = 0;
};

}  // namespace orba::party
