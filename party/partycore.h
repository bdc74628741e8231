// The party server's thread side: its listening socket, the connections and
// their limits, the requests, the WebSocket clients and the actions waiting
// for the player. Everything here runs on the server's thread; the player's
// replies come back through a ReplyGate, which outlives the core so that a
// late reply after a stop finds nothing to touch.
#pragma once

#include <QObject>
#include <QPointer>
#include <cstdint>
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

class ReplyGate {
public:
    explicit ReplyGate(PartyCore* core) : m_core(core) {}
    // From any thread: hands the outcome, or a search's answer, to the
    // core's thread, unless the server stopped.
    void deliver(std::uint64_t action, PartyOutcome outcome);
    void deliverSearch(std::uint64_t job, std::optional<std::string> json);
    void close();

private:
    std::mutex m_mutex;
    PartyCore* m_core;
};

class PartyCore : public QObject {
public:
    PartyCore(PartyOptions options, PartyServer::ActionHandler handler, std::string token,
              std::string pin, std::string queueJson);
    ~PartyCore() override;

    const std::shared_ptr<ReplyGate>& gate() const { return m_gate; }
    // On the server's thread.
    bool listen(std::string* error);
    int port() const;
    void publish(std::string queueJson);
    void finishAction(std::uint64_t action, PartyOutcome outcome);
    void finishSearch(std::uint64_t job, std::optional<std::string> json);
    void shutdown();

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
    std::shared_ptr<ReplyGate> m_gate;
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
