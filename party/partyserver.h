// The party queue's web side: guests' phones search the song library and
// queue songs through a small page the player serves; the host, with the PIN
// shown on the player's screen, reorders, removes, skips and pauses.
//
// The server runs on a thread of its own and never waits for the player: a
// request that changes the queue becomes a PartyAction handed to the
// player's handler, and the answer goes back to the phone whenever the
// player replies. What the page shows comes from publishQueue(), which the
// player calls on every change of its queue.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "settings/queuevalues.h"

namespace orba {

// What a request asks the player to do.
struct PartyAction {
    enum class Kind { Queue, Remove, Move, Skip, Pause };
    Kind kind = Kind::Queue;
    std::int64_t song = 0;       // Queue: the library id
    std::string singer;          // Queue: the name as sent (bounded, control characters removed)
    std::int64_t entry = 0;      // Remove, Move
    int to = 0;                  // Move: place in the play order, 0 = next
    std::optional<bool> paused;  // Pause: set; none = toggle

    bool operator==(const PartyAction&) const = default;
};

// The player's answer.
struct PartyOutcome {
    int status = 200;        // 200, or 400/404/409 with `error` a short English text for the client
    std::int64_t entry = 0;  // Queue: the new entry's id
    bool paused = false;     // Pause: the queue's state after it
    std::string error;
};

// What the page shows; published by the player on every change.
struct PartyQueueView {
    std::optional<QueueEntry> now;    // the playing entry
    std::vector<QueueEntry> entries;  // waiting, in play order
    bool paused = false;
};

struct PartyOptions {
    std::string libraryFile;  // opened on the server's thread for searches
    std::string bindAddress = "0.0.0.0";
    int port = 0;  // 0: any free port

    // Connections: a phone's browser opens a handful; more from one address
    // is a hostile client, whose extra connections are refused. Over the
    // total the oldest idle connection gives way to the new one.
    int connectionsPerAddress = 64;
    int maxConnections = 4096;
    // A request must arrive whole this long after its first byte (or after
    // the connection opened); an open connection without a request closes
    // after the idle time.
    int requestDeadlineMs = 10000;
    int idleTimeoutMs = 60000;
    int maxHeaderBytes = 8192;
    int maxBodyBytes = 16 * 1024;
    // Requests per client address: a bucket of `requestBurst` refilled at
    // `requestsPerSecond`; over it, 429.
    double requestsPerSecond = 20;
    int requestBurst = 40;
    // A wrong token or PIN is answered after this long, the same for every
    // failure.
    int refusalDelayMs = 1000;
    // An address that gave a wrong PIN this many times gets no host request
    // through until the server starts again.
    int pinFailuresPerAddress = 10;
    // The page sends nothing over its WebSocket but control frames.
    int maxWebSocketMessageBytes = 1024;
    // A WebSocket client that lets this much of the queue's pushes pile up
    // unread is dropped.
    int maxWebSocketBacklogBytes = 1024 * 1024;
    // How long a request waits for the player's reply before it gets 503.
    int actionTimeoutMs = 10000;
    // Searches run beside the server's thread, each thread with its own
    // connection to the library; past `maxWaitingSearches` waiting, 503.
    int searchThreads = 2;
    int maxWaitingSearches = 256;
};

class PartyServer {
public:
    // Called on the server's thread; must call `reply` exactly once, from any
    // thread.
    using ActionHandler = std::function<void(PartyAction, std::function<void(PartyOutcome)> reply)>;

    PartyServer(PartyOptions options, ActionHandler handler);
    ~PartyServer();  // stops and joins
    PartyServer(const PartyServer&) = delete;
    PartyServer& operator=(const PartyServer&) = delete;

    // Binds and opens the library; every start makes a new token and PIN, so
    // the page of an earlier evening no longer opens. start() and stop() wait
    // for the server's thread: call them from any thread but that one (not
    // from the action handler).
    bool start(std::string* error);
    void stop();
    bool running() const;

    int port() const;
    const std::string& token() const;
    const std::string& pin() const;
    // http://ADDRESS:PORT/?t=TOKEN with the machine's LAN IPv4 address (the
    // first up interface that is not a loopback), else 127.0.0.1.
    std::string guestAddress() const;

    // From any thread; pushed to every WebSocket client.
    void publishQueue(PartyQueueView view);

private:
    struct Impl;
    std::unique_ptr<Impl> m;
};

// The queue as the page and GET /api/queue see it.
std::string queueViewJson(const PartyQueueView& view);

}  // namespace orba
