#include "desktop/songhandover.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QUrl>

#include "desktop/mprisvalues.h"

namespace orba {

bool handSongToRunningWindow(const std::string& musicFile, int timeoutMs) {
    if (musicFile.empty()) return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    // The running window has another current folder: it gets the full path.
    const QString path = QFileInfo(QString::fromStdString(musicFile)).absoluteFilePath();
    QDBusMessage call = QDBusMessage::createMethodCall(
        QString::fromLatin1(kMprisBusName), QString::fromLatin1(kMprisObjectPath),
        QString::fromLatin1(kMprisPlayerInterface), QStringLiteral("OpenUri"));
    call << QUrl::fromLocalFile(path).toString();
    const QDBusMessage reply = bus.call(call, QDBus::Block, timeoutMs);
    return reply.type() == QDBusMessage::ReplyMessage;
}

}  // namespace orba
