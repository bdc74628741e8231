// A small driver of a headless browser over its DevTools protocol, for the
// end-to-end tests of the guests' page:
//
//   orba_cdp PORT open URL            load URL in the browser's first page
//   orba_cdp PORT eval JS             print the JSON value of JS (promises awaited)
//   orba_cdp PORT wait JS SECONDS     until JS is true; exit 1 when it never is
//   orba_cdp PORT shot PNG            the page as a PNG
//
// Each call connects anew to the page's WebSocket, so the shell script that
// drives it reads like the user's steps.
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QThread>
#include <QTimer>
#include <QWebSocket>
#include <cstdio>

namespace {

QJsonDocument getJson(QNetworkAccessManager& net, const QString& url) {
    QNetworkReply* reply = net.get(QNetworkRequest(QUrl(url)));
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->isFinished() ? reply->readAll() : QByteArray();
    reply->deleteLater();
    return QJsonDocument::fromJson(body);
}

class Page {
public:
    explicit Page(int port) {
        QNetworkAccessManager net;
        QString url;
        QElapsedTimer waited;
        waited.start();
        // The browser may still be starting.
        while (url.isEmpty() && waited.elapsed() < 20000) {
            const QJsonArray targets =
                getJson(net, QStringLiteral("http://127.0.0.1:%1/json/list").arg(port)).array();
            for (const QJsonValue& t : targets)
                if (t[QStringLiteral("type")].toString() == QStringLiteral("page")) {
                    url = t[QStringLiteral("webSocketDebuggerUrl")].toString();
                    break;
                }
            if (url.isEmpty()) QThread::msleep(200);
        }
        if (url.isEmpty()) fail("no page in the browser");
        QEventLoop loop;
        QObject::connect(&m_socket, &QWebSocket::connected, &loop, &QEventLoop::quit);
        QObject::connect(&m_socket, &QWebSocket::textMessageReceived,
                         [this](const QString& m) { m_messages.append(m); });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        m_socket.open(QUrl(url));
        loop.exec();
        if (m_socket.state() != QAbstractSocket::ConnectedState) fail("cannot reach the page");
    }

    QJsonObject call(const QString& method, const QJsonObject& params) {
        const int id = ++m_id;
        QJsonObject message{{"id", id}, {"method", method}, {"params", params}};
        m_socket.sendTextMessage(QString::fromUtf8(QJsonDocument(message).toJson()));
        QElapsedTimer waited;
        waited.start();
        while (waited.elapsed() < 30000) {
            for (int i = 0; i < m_messages.size(); ++i) {
                const QJsonObject m = QJsonDocument::fromJson(m_messages[i].toUtf8()).object();
                if (m[QStringLiteral("id")].toInt() != id) continue;
                m_messages.removeAt(i);
                if (m.contains(QStringLiteral("error")))
                    fail(QJsonDocument(m[QStringLiteral("error")].toObject()).toJson());
                return m[QStringLiteral("result")].toObject();
            }
            QEventLoop loop;
            QObject::connect(&m_socket, &QWebSocket::textMessageReceived, &loop, &QEventLoop::quit);
            QTimer::singleShot(200, &loop, &QEventLoop::quit);
            loop.exec();
        }
        fail("no answer to " + method.toUtf8());
        return {};
    }

    QJsonValue eval(const QString& js) {
        const QJsonObject r = call(QStringLiteral("Runtime.evaluate"),
                                   {{"expression", js}, {"awaitPromise", true}, {"returnByValue", true}});
        if (r.contains(QStringLiteral("exceptionDetails")))
            fail(QJsonDocument(r[QStringLiteral("exceptionDetails")].toObject()).toJson());
        return r[QStringLiteral("result")].toObject()[QStringLiteral("value")];
    }

    [[noreturn]] static void fail(const QByteArray& why) {
        std::fprintf(stderr, "orba_cdp: %s\n", why.constData());
        std::exit(2);
    }

private:
    QWebSocket m_socket;
    QStringList m_messages;
    int m_id = 0;
};

QByteArray jsonText(const QJsonValue& v) {
    if (v.isString()) return v.toString().toUtf8();
    return QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact).mid(1).chopped(1);
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fputs("usage: orba_cdp PORT open URL | eval JS | wait JS SECONDS | shot PNG\n", stderr);
        return 2;
    }
    Page page(QString::fromUtf8(argv[1]).toInt());
    const QByteArray verb = argv[2];
    const QString arg = QString::fromUtf8(argv[3]);
    if (verb == "open") {
        page.call(QStringLiteral("Page.enable"), {});
        page.call(QStringLiteral("Page.navigate"), {{"url", arg}});
        // Loaded when the document says so.
        QElapsedTimer waited;
        waited.start();
        while (page.eval(QStringLiteral("document.readyState")).toString() != QStringLiteral("complete")) {
            if (waited.elapsed() > 20000) Page::fail("the page never loaded");
            QThread::msleep(100);
        }
        return 0;
    }
    if (verb == "eval") {
        std::printf("%s\n", jsonText(page.eval(arg)).constData());
        return 0;
    }
    if (verb == "wait") {
        const int seconds = argc > 4 ? std::atoi(argv[4]) : 10;
        QElapsedTimer waited;
        waited.start();
        while (!page.eval(QStringLiteral("!!(") + arg + QStringLiteral(")")).toBool()) {
            if (waited.elapsed() > seconds * 1000) {
                std::fprintf(stderr, "orba_cdp: never true: %s\n", argv[3]);
                return 1;
            }
            QThread::msleep(100);
        }
        return 0;
    }
    if (verb == "shot") {
        const QJsonObject r = page.call(QStringLiteral("Page.captureScreenshot"), {{"format", "png"}});
        QFile out(arg);
        if (!out.open(QIODevice::WriteOnly)) Page::fail(QByteArray("cannot write ") + argv[3]);
        out.write(QByteArray::fromBase64(r[QStringLiteral("data")].toString().toLatin1()));
        return 0;
    }
    Page::fail(QByteArray("unknown command ") + verb);
}
