#include "party/partyserver.h"

#include <sys/resource.h>

#include <QHostAddress>
#include <QNetworkInterface>
#include <QRandomGenerator>
#include <QThread>
#include <future>
#include <mutex>

#include "party/partycore.h"

namespace orba {

namespace {

// 192 random bits, written in the URL-safe Base64 alphabet.
std::string newToken() {
    quint32 words[6];
    QRandomGenerator::system()->fillRange(words);
    return QByteArray(reinterpret_cast<const char*>(words), sizeof words)
        .toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals)
        .toStdString();
}

std::string newPin() {
    const quint32 n = QRandomGenerator::system()->bounded(1000000u);
    std::string pin = std::to_string(n);
    return std::string(6 - pin.size(), '0') + pin;
}

// A room full of phones and the sockets of Qt itself: the default soft limit
// of open files is soon reached, while the hard one is there to be used.
void raiseOpenFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) == 0 && limit.rlim_cur < limit.rlim_max) {
        limit.rlim_cur = limit.rlim_max;
        setrlimit(RLIMIT_NOFILE, &limit);
    }
}

int openFileLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 1 << 20;
    return int(std::min<rlim_t>(limit.rlim_cur, 1 << 20));
}

std::string lanAddress() {
    for (const QNetworkInterface& i : QNetworkInterface::allInterfaces()) {
        const auto flags = i.flags();
        if (!(flags & QNetworkInterface::IsUp) || !(flags & QNetworkInterface::IsRunning) ||
            (flags & QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry& e : i.addressEntries()) {
            const QHostAddress a = e.ip();
            if (a.protocol() == QAbstractSocket::IPv4Protocol && !a.isLoopback() &&
                !a.isLinkLocal())
                return a.toString().toStdString();
        }
    }
    return "127.0.0.1";
}

}  // namespace

struct PartyServer::Impl {
    PartyOptions options;
    ActionHandler handler;
    std::string token;
    std::string pin;
    int port = 0;
    std::string host;

    std::unique_ptr<QThread> thread;
    std::mutex coreMutex;                     // publishQueue() may come from any thread
    std::shared_ptr<party::Mailbox> mailbox;  // the running core's
    std::string lastQueue = queueViewJson({});
};

PartyServer::PartyServer(PartyOptions options, ActionHandler handler)
    : m(std::make_unique<Impl>()) {
    m->options = std::move(options);
    m->handler = std::move(handler);
}

PartyServer::~PartyServer() {
    stop();
}

bool PartyServer::start(std::string* error) {
    stop();
    raiseOpenFileLimit();
    m->token = newToken();
    m->pin = newPin();
    PartyOptions options = m->options;
    // Each connection is a file; some stay for the library and Qt.
    options.maxConnections = std::max(1, std::min(options.maxConnections, openFileLimit() - 256));

    m->thread = std::make_unique<QThread>();
    m->thread->setObjectName(QStringLiteral("party"));
    std::string lastQueue;
    {
        std::lock_guard lock(m->coreMutex);
        lastQueue = m->lastQueue;
    }
    auto* core = new party::PartyCore(options, m->handler, m->token, m->pin, lastQueue);
    core->moveToThread(m->thread.get());
    const std::shared_ptr<party::Mailbox> mailbox = core->mailbox();
    m->thread->start();
    struct Listened {
        bool ok = false;
        int port = 0;
        std::string error;
    };
    std::promise<Listened> listened;
    mailbox->post([&listened](party::PartyCore& c) {
        Listened l;
        l.ok = c.listen(&l.error);
        l.port = c.port();
        listened.set_value(std::move(l));
    });
    const Listened l = listened.get_future().get();
    {
        std::lock_guard lock(m->coreMutex);
        m->mailbox = mailbox;
    }
    if (!l.ok) {
        if (error) *error = l.error;
        stop();
        return false;
    }
    const int port = l.port;
    m->port = port;
    const QHostAddress bound(QString::fromStdString(options.bindAddress));
    m->host = bound == QHostAddress::AnyIPv4 || bound == QHostAddress::Any ||
                      bound == QHostAddress::AnyIPv6
                  ? lanAddress()
                  : bound.toString().toStdString();
    return true;
}

void PartyServer::stop() {
    if (!m->thread) return;
    std::shared_ptr<party::Mailbox> mailbox;
    {
        std::lock_guard lock(m->coreMutex);
        std::swap(mailbox, m->mailbox);
    }
    if (mailbox) {
        std::promise<void> done;
        mailbox->post([&done](party::PartyCore& c) {
            c.shutdown();
            delete &c;
            done.set_value();
        });
        done.get_future().wait();
    }
    m->thread->quit();
    m->thread->wait();
    m->thread.reset();
    m->port = 0;
}

bool PartyServer::running() const {
    return m->thread != nullptr;
}

int PartyServer::port() const {
    return m->port;
}

const std::string& PartyServer::token() const {
    return m->token;
}

const std::string& PartyServer::pin() const {
    return m->pin;
}

std::string PartyServer::guestAddress() const {
    return "http://" + m->host + ":" + std::to_string(m->port) + "/?t=" + m->token;
}

void PartyServer::publishQueue(PartyQueueView view) {
    std::string json = queueViewJson(view);
    std::lock_guard lock(m->coreMutex);
    m->lastQueue = json;
    if (m->mailbox)
        m->mailbox->post(
            [j = std::move(json)](party::PartyCore& c) mutable { c.publish(std::move(j)); });
}

}  // namespace orba
