// Connections pass through three states: reading a request (its head, then
// its body), answering (the request is with the search, the player or the
// refusal delay; nothing more is read, so a client gets one answer at a time
// and cannot pile requests up), and closing. A WebSocket upgrade leaves this
// table: the socket goes to Qt's WebSocket server and comes back as a
// listener. Every socket, in whichever of these places, holds one Slot of
// its address's connection count, given back when it goes.
#include "party/partycore.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QWebSocket>
#include <QWebSocketServer>
#include <algorithm>
#include <chrono>

#include "library/library.h"
#include "party/partypage.h"

namespace orba::party {

namespace {

std::int64_t nowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

std::string addressKey(const QHostAddress& address) {
    bool v4 = false;
    const quint32 ip = address.toIPv4Address(&v4);
    return (v4 ? QHostAddress(ip) : address).toString().toStdString();
}

// The header for scripts, the query for the page's address and the
// WebSocket, whose requests a browser's script cannot give headers.
std::string roomToken(const RequestHead& head) {
    const std::string* header = head.header("x-room-token");
    return header ? *header : queryValue(head.query, "t").value_or("");
}

constexpr std::string_view kJson = "application/json; charset=utf-8";
// Answers a client has not read yet: past this, nothing more is read from it.
constexpr qint64 kMaxUnsentBytes = 256 * 1024;

}  // namespace

struct PartyCore::Counts {
    int open = 0;
    std::unordered_map<std::string, int> perAddress;
};

struct PartyCore::Slot {
    Slot(std::shared_ptr<Counts> c, std::string a) : counts(std::move(c)), address(std::move(a)) {
        ++counts->open;
        ++counts->perAddress[address];
    }
    ~Slot() {
        --counts->open;
        if (--counts->perAddress[address] <= 0) counts->perAddress.erase(address);
    }
    Slot(const Slot&) = delete;
    Slot& operator=(const Slot&) = delete;
    std::shared_ptr<Counts> counts;
    std::string address;
};

struct PartyCore::Connection {
    enum class State { Head, Body, Answering, Closing };
    std::uint64_t id = 0;
    QTcpSocket* socket = nullptr;
    std::unique_ptr<Slot> slot;
    State state = State::Head;
    bool requestStarted = false;
    std::size_t scanned = 0;  // bytes of the head looked through without finding its end
    std::int64_t deadline = 0;
    std::int64_t lastActive = 0;
    RequestHead head;
};

struct PartyCore::Listener {
    QWebSocket* socket = nullptr;
    std::unique_ptr<Slot> slot;
    qint64 backlog = 0;
};

struct PartyCore::Handoff {
    QPointer<QTcpSocket> socket;
    std::unique_ptr<Slot> slot;
    std::int64_t deadline = 0;
};

void Mailbox::post(std::function<void(PartyCore&)> work) {
    std::lock_guard lock(m_mutex);
    if (!m_core) return;
    m_work.push_back(std::move(work));
    if (m_wakeQueued) return;
    m_wakeQueued = true;
    QMetaObject::invokeMethod(m_core, "drainMailbox", Qt::QueuedConnection);
}

void Mailbox::close() {
    std::lock_guard lock(m_mutex);
    m_core = nullptr;
    m_work.clear();
}

void Mailbox::drain() {
    std::vector<std::function<void(PartyCore&)>> work;
    {
        std::lock_guard lock(m_mutex);
        work.swap(m_work);
        m_wakeQueued = false;
    }
    for (auto& w : work) {
        PartyCore* core;
        {
            std::lock_guard lock(m_mutex);
            core = m_core;
        }
        // A stop among the work closes the box: what follows it is dropped.
        if (!core) return;
        w(*core);
    }
}

PartyCore::PartyCore(PartyOptions options, PartyServer::ActionHandler handler, std::string token,
                     std::string pin, std::string queueJson)
    : m_options(std::move(options)),
      m_handler(std::move(handler)),
      m_token(std::move(token)),
      m_pin(std::move(pin)),
      m_queueJson(std::move(queueJson)),
      m_mailbox(std::make_shared<Mailbox>(this)),
      m_counts(std::make_shared<Counts>()) {}

PartyCore::~PartyCore() {
    m_mailbox->close();
}

bool PartyCore::listen(std::string* error) {
    // The library is opened here once so that a file that cannot be opened
    // stops the start; the searches open their own.
    try {
        Library library(m_options.libraryFile);
    } catch (const std::exception& e) {
        if (error) *error = std::string("the song library cannot be opened: ") + e.what();
        return false;
    }
    QHostAddress address;
    if (!address.setAddress(QString::fromStdString(m_options.bindAddress))) {
        if (error) *error = "not an address to listen on: " + m_options.bindAddress;
        return false;
    }
    m_maxConnections = std::max(1, m_options.maxConnections);
    m_server = new QTcpServer(this);
    m_server->setListenBacklogSize(1024);
    m_server->setMaxPendingConnections(1024);
    if (!m_server->listen(address, quint16(std::clamp(m_options.port, 0, 65535)))) {
        if (error)
            *error = "cannot listen on " + m_options.bindAddress + ":" +
                     std::to_string(m_options.port) + ": " + m_server->errorString().toStdString();
        return false;
    }
    connect(m_server, &QTcpServer::newConnection, this, &PartyCore::accept);

    m_webSockets =
        new QWebSocketServer(QStringLiteral("orbakaraoke"), QWebSocketServer::NonSecureMode, this);
    m_webSockets->setHandshakeTimeout(std::max(100, m_options.requestDeadlineMs));
    connect(m_webSockets, &QWebSocketServer::newConnection, this, &PartyCore::takeWebSockets);

    // Deadlines are checked in sweeps rather than by a timer per connection:
    // thousands of idle connections cost one timer.
    m_sweep = new QTimer(this);
    m_sweep->setInterval(
        std::clamp(std::min(m_options.requestDeadlineMs, m_options.idleTimeoutMs) / 4, 10, 500));
    connect(m_sweep, &QTimer::timeout, this, &PartyCore::sweep);
    m_sweep->start();
    std::weak_ptr<Mailbox> box = m_mailbox;
    m_searches = std::make_unique<SearchPool>(
        m_options.libraryFile, std::max(1, m_options.searchThreads),
        std::size_t(std::max(1, m_options.maxWaitingSearches)),
        [box](std::uint64_t job, std::optional<std::string> json) {
            if (const auto b = box.lock())
                b->post([job, j = std::move(json)](PartyCore& core) mutable {
                    core.finishSearch(job, std::move(j));
                });
        });
    return true;
}

int PartyCore::port() const {
    return m_server ? m_server->serverPort() : 0;
}

void PartyCore::shutdown() {
    m_mailbox->close();
    if (m_sweep) m_sweep->stop();
    if (m_server) m_server->close();
    for (auto& [id, c] : m_connections) {
        c->socket->disconnect(this);
        c->socket->abort();
        delete c->socket;
    }
    m_connections.clear();
    for (auto& l : m_listeners) {
        l->socket->disconnect(this);
        l->socket->abort();
        delete l->socket;
    }
    m_listeners.clear();
    for (auto& [key, h] : m_handoffs)
        if (h->socket) h->socket->abort();
    m_handoffs.clear();
    delete m_webSockets;
    m_webSockets = nullptr;
    delete m_server;
    m_server = nullptr;
    m_pending.clear();
    m_searches.reset();
    m_searching.clear();
}

void PartyCore::accept() {
    const std::int64_t now = nowMs();
    while (m_server->hasPendingConnections()) {
        QTcpSocket* socket = m_server->nextPendingConnection();
        const std::string address = addressKey(socket->peerAddress());
        const auto counted = m_counts->perAddress.find(address);
        const int fromAddress = counted == m_counts->perAddress.end() ? 0 : counted->second;
        if (fromAddress >= m_options.connectionsPerAddress ||
            (m_counts->open >= m_maxConnections && !evictIdle())) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        auto c = std::make_unique<Connection>();
        c->id = m_nextId++;
        c->socket = socket;
        c->slot = std::make_unique<Slot>(m_counts, address);
        c->deadline = now + m_options.requestDeadlineMs;
        c->lastActive = now;
        // Qt stops reading from the kernel once this much waits: a client
        // that sends faster than it is answered is slowed down by TCP itself.
        socket->setReadBufferSize(m_options.maxHeaderBytes + m_options.maxBodyBytes + 1024);
        // Answers and pushes are small and wanted at once.
        socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        const std::uint64_t id = c->id;
        connect(socket, &QTcpSocket::readyRead, this, [this, id] { readFrom(id); });
        connect(socket, &QTcpSocket::bytesWritten, this, [this, id] { readFrom(id); });
        connect(
            socket, &QTcpSocket::disconnected, this, [this, id] { drop(id); },
            Qt::QueuedConnection);
        m_connections.emplace(id, std::move(c));
        if (socket->bytesAvailable() > 0) readFrom(id);
    }
}

// Over the total, the connection that has waited longest without a request
// makes room: a flood of idle connections cannot keep a guest out.
bool PartyCore::evictIdle() {
    Connection* oldest = nullptr;
    for (auto& [id, c] : m_connections)
        if (c->state == Connection::State::Head && !c->requestStarted &&
            (!oldest || c->lastActive < oldest->lastActive))
            oldest = c.get();
    if (!oldest) return false;
    const std::uint64_t id = oldest->id;
    oldest->socket->abort();
    drop(id);
    return true;
}

PartyCore::Connection* PartyCore::find(std::uint64_t id) {
    const auto it = m_connections.find(id);
    return it == m_connections.end() ? nullptr : it->second.get();
}

void PartyCore::drop(std::uint64_t id) {
    const auto it = m_connections.find(id);
    if (it == m_connections.end()) return;
    QTcpSocket* socket = it->second->socket;
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
    m_connections.erase(it);
}

void PartyCore::readFrom(std::uint64_t id) {
    Connection* c = find(id);
    if (!c) return;
    QTcpSocket* s = c->socket;
    if (c->state == Connection::State::Answering || c->state == Connection::State::Closing) return;
    if (s->bytesToWrite() > kMaxUnsentBytes || s->bytesAvailable() <= 0) return;
    if (c->state == Connection::State::Head) {
        if (!c->requestStarted) {
            c->requestStarted = true;
            c->deadline = nowMs() + m_options.requestDeadlineMs;
        }
        // A head that comes a byte at a time is looked through once, not
        // once for every byte.
        if (s->bytesAvailable() <= qint64(c->scanned)) return;
        const QByteArray bytes = s->peek(m_options.maxHeaderBytes);
        if (bytes.size() < m_options.maxHeaderBytes &&
            bytes.indexOf("\r\n\r\n", std::max<qsizetype>(0, qsizetype(c->scanned) - 3)) < 0) {
            c->scanned = std::size_t(bytes.size());
            return;
        }
        HeadRead r = readHead(std::string_view(bytes.constData(), std::size_t(bytes.size())),
                              std::size_t(m_options.maxHeaderBytes), m_options.maxBodyBytes);
        if (r.state == HeadRead::State::NeedMore) return;
        if (r.state == HeadRead::State::Refused) {
            c->head = RequestHead{};
            respondJson(*c, r.status, errorJson(reasonPhrase(r.status)), true);
            return;
        }
        if (r.head.webSocketUpgrade && r.head.path == "/ws" && r.head.method == "GET") {
            handOff(*c, r.head);
            return;
        }
        s->skip(qint64(r.headBytes));
        c->scanned = 0;
        c->head = std::move(r.head);
        c->state = Connection::State::Body;
    }
    if (s->bytesAvailable() < c->head.contentLength) return;
    const QByteArray body = s->read(c->head.contentLength);
    c->state = Connection::State::Answering;
    handle(*c, body.toStdString());
}

bool PartyCore::admitted(Connection& c) {
    Peer& peer = m_peers[c.slot->address];
    if (!takeRequest(peer.bucket, nowMs(), m_options.requestsPerSecond, m_options.requestBurst)) {
        respond(c, 429, kJson, errorJson("too many requests"), false, "Retry-After: 1\r\n");
        return false;
    }
    if (!sameSecret(roomToken(c.head), m_token)) {
        refuseLater(c);
        return false;
    }
    return true;
}

void PartyCore::handle(Connection& c, const std::string& body) {
    if (!admitted(c)) return;
    const RouteMatch match = matchRoute(c.head.method, c.head.path);
    if (hostRoute(match.route)) {
        Peer& peer = m_peers[c.slot->address];
        const std::string* pin = c.head.header("x-host-pin");
        if (peer.pinFailures >= m_options.pinFailuresPerAddress || !pin ||
            !sameSecret(*pin, m_pin)) {
            ++peer.pinFailures;
            refuseLater(c);
            return;
        }
    }
    BodyAction action;
    switch (match.route) {
        case Route::Page:
            respond(
                c, 200, "text/html; charset=utf-8", partyPageHtml(), false,
                "Content-Security-Policy: " + partyPagePolicy() + "\r\nX-Frame-Options: DENY\r\n");
            return;
        case Route::Search:
            search(c);
            return;
        case Route::QueueGet:
            respondJson(c, 200, m_queueJson);
            return;
        case Route::QueuePost:
            action = queueRequest(body);
            break;
        case Route::QueueRemove:
            action.action = PartyAction{PartyAction::Kind::Remove, 0, {}, match.entry, 0, {}};
            break;
        case Route::QueueMove:
            action = moveRequest(match.entry, body);
            break;
        case Route::Skip:
            action.action = PartyAction{PartyAction::Kind::Skip, 0, {}, 0, 0, {}};
            break;
        case Route::Pause:
            action = pauseRequest(body);
            break;
        case Route::WebSocket:
            respondJson(c, 400, errorJson("a WebSocket upgrade is expected"));
            return;
        case Route::WrongMethod:
            respondJson(c, 405, errorJson("method not allowed"));
            return;
        case Route::BadEntry:
            respondJson(c, 400, errorJson("not a queue entry"));
            return;
        case Route::NotFound:
            respondJson(c, 404, errorJson("not found"));
            return;
    }
    if (!action.action) {
        respondJson(c, 400, errorJson(action.error));
        return;
    }
    dispatch(c, std::move(*action.action));
}

void PartyCore::search(Connection& c) {
    const std::string q = queryValue(c.head.query, "q").value_or("");
    if (q.size() > std::size_t(kMaxSearchBytes)) {
        respondJson(c, 400, errorJson("the search text is too long"));
        return;
    }
    if (q.find_first_not_of(" \t") == std::string::npos) {
        respondJson(c, 200, searchJson({}));
        return;
    }
    const std::uint64_t job = m_nextId++;
    if (!m_searches->submit(job, q)) {
        respond(c, 503, kJson, errorJson("too many searches at once"), false, "Retry-After: 1\r\n");
        return;
    }
    m_searching.emplace(job, c.id);
}

void PartyCore::finishSearch(std::uint64_t job, std::optional<std::string> json) {
    const auto it = m_searching.find(job);
    if (it == m_searching.end()) return;
    Connection* c = find(it->second);
    m_searching.erase(it);
    if (!c) return;
    if (json)
        respondJson(*c, 200, *json);
    else
        respondJson(*c, 503, errorJson("the song library is not available"));
}

void PartyCore::dispatch(Connection& c, PartyAction action) {
    const std::uint64_t id = m_nextId++;
    m_pending.emplace(id, Pending{c.id, action.kind});
    // A player that never answers costs the guest a 503, not a connection
    // held for ever.
    QTimer::singleShot(m_options.actionTimeoutMs, this, [this, id] {
        finishAction(id, PartyOutcome{503, 0, false, {}});
    });
    std::weak_ptr<Mailbox> box = m_mailbox;
    auto once = std::make_shared<std::atomic<bool>>(false);
    auto reply = [box, id, once](PartyOutcome outcome) {
        if (once->exchange(true)) return;
        if (const auto b = box.lock())
            b->post([id, o = std::move(outcome)](PartyCore& core) mutable {
                core.finishAction(id, std::move(o));
            });
    };
    try {
        m_handler(std::move(action), reply);
    } catch (const std::exception&) {
        reply(PartyOutcome{500, 0, false, {}});
    }
}

void PartyCore::finishAction(std::uint64_t action, PartyOutcome outcome) {
    const auto it = m_pending.find(action);
    if (it == m_pending.end()) return;
    const Pending pending = it->second;
    m_pending.erase(it);
    Connection* c = find(pending.connection);
    if (!c) return;
    if (outcome.status == 503) {
        respondJson(*c, 503, errorJson("the player did not answer"));
        return;
    }
    const Answer a = outcomeAnswer(pending.kind, outcome);
    respondJson(*c, a.status, a.body);
}

// Every refusal looks the same and comes equally late: no answer tells a
// guesser which part was wrong or how close it came, and the delay holds
// no thread.
void PartyCore::refuseLater(Connection& c) {
    c.state = Connection::State::Answering;
    const std::uint64_t id = c.id;
    QTimer::singleShot(m_options.refusalDelayMs, this, [this, id] {
        if (Connection* c = find(id)) respondJson(*c, 403, refusalJson(), true);
    });
}

void PartyCore::respondJson(Connection& c, int status, std::string_view body, bool close) {
    respond(c, status, kJson, body, close);
}

void PartyCore::respond(Connection& c, int status, std::string_view contentType,
                        std::string_view body, bool close, std::string_view extraHeaders) {
    close = close || !c.head.keepAlive;
    const std::string bytes = httpResponse(status, contentType, body, !close, extraHeaders);
    c.socket->write(bytes.data(), qint64(bytes.size()));
    const std::int64_t now = nowMs();
    if (close) {
        c.state = Connection::State::Closing;
        c.deadline = now + m_options.requestDeadlineMs;
        c.socket->disconnectFromHost();
        return;
    }
    c.state = Connection::State::Head;
    c.requestStarted = false;
    c.head = RequestHead{};
    c.lastActive = now;
    c.deadline = now + m_options.idleTimeoutMs;
    // A request that came right behind this one is already buffered: no new
    // readyRead will tell of it.
    const std::uint64_t id = c.id;
    QMetaObject::invokeMethod(
        this, [this, id] { readFrom(id); }, Qt::QueuedConnection);
}

void PartyCore::handOff(Connection& c, const RequestHead& head) {
    Peer& peer = m_peers[c.slot->address];
    // The upgrade counts as a request, and its token is checked here: Qt's
    // server gets only sockets that may listen.
    c.head = head;
    c.head.keepAlive = false;
    if (!takeRequest(peer.bucket, nowMs(), m_options.requestsPerSecond, m_options.requestBurst)) {
        c.socket->skip(c.socket->bytesAvailable());
        respondJson(c, 429, errorJson("too many requests"), true);
        return;
    }
    if (!sameSecret(roomToken(head), m_token)) {
        c.socket->skip(c.socket->bytesAvailable());
        refuseLater(c);
        return;
    }
    QTcpSocket* socket = c.socket;
    auto h = std::make_unique<Handoff>();
    h->socket = socket;
    h->slot = std::move(c.slot);
    h->deadline = nowMs() + m_options.requestDeadlineMs + 1000;
    m_handoffs[{h->slot->address, socket->peerPort()}] = std::move(h);
    socket->disconnect(this);
    m_connections.erase(c.id);
    socket->setReadBufferSize(0);
    m_webSockets->handleConnection(socket);
}

void PartyCore::takeWebSockets() {
    while (m_webSockets->hasPendingConnections()) {
        QWebSocket* ws = m_webSockets->nextPendingConnection();
        const auto it = m_handoffs.find({addressKey(ws->peerAddress()), ws->peerPort()});
        if (it == m_handoffs.end()) {
            ws->abort();
            ws->deleteLater();
            continue;
        }
        auto l = std::make_unique<Listener>();
        l->socket = ws;
        l->slot = std::move(it->second->slot);
        m_handoffs.erase(it);
        ws->setParent(this);
        ws->setMaxAllowedIncomingFrameSize(quint64(m_options.maxWebSocketMessageBytes));
        ws->setMaxAllowedIncomingMessageSize(quint64(m_options.maxWebSocketMessageBytes));
        Listener* raw = l.get();
        connect(ws, &QWebSocket::bytesWritten, this,
                [raw](qint64 n) { raw->backlog = std::max<qint64>(0, raw->backlog - n); });
        connect(
            ws, &QWebSocket::disconnected, this,
            [this, ws] {
                const auto it = std::find_if(m_listeners.begin(), m_listeners.end(),
                                             [ws](const auto& l) { return l->socket == ws; });
                if (it != m_listeners.end()) m_listeners.erase(it);
                ws->deleteLater();
            },
            Qt::QueuedConnection);
        m_listeners.push_back(std::move(l));
        raw->backlog += qint64(m_queueJson.size());
        ws->sendTextMessage(QString::fromStdString(m_queueJson));
    }
}

void PartyCore::publish(std::string queueJson) {
    m_queueJson = std::move(queueJson);
    const QString text = QString::fromStdString(m_queueJson);
    for (const auto& l : m_listeners) {
        // A phone that stopped reading is let go rather than buffered for.
        if (l->backlog > m_options.maxWebSocketBacklogBytes) {
            l->socket->abort();
            continue;
        }
        l->backlog += qint64(m_queueJson.size());
        l->socket->sendTextMessage(text);
    }
}

void PartyCore::sweep() {
    const std::int64_t now = nowMs();
    std::vector<std::uint64_t> late;
    for (const auto& [id, c] : m_connections)
        if (c->state != Connection::State::Answering && now > c->deadline) late.push_back(id);
    for (std::uint64_t id : late) drop(id);
    for (auto it = m_handoffs.begin(); it != m_handoffs.end();) {
        if (now > it->second->deadline) {
            if (it->second->socket) it->second->socket->abort();
            it = m_handoffs.erase(it);
        } else {
            ++it;
        }
    }
    if (now - m_lastPrune > 10000) {
        m_lastPrune = now;
        std::erase_if(m_peers, [&](const auto& p) {
            return p.second.pinFailures == 0 && !m_counts->perAddress.count(p.first) &&
                   bucketRested(p.second.bucket, now, m_options.requestsPerSecond,
                                m_options.requestBurst);
        });
    }
}

}  // namespace orba::party
