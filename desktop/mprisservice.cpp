#include "desktop/mprisservice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>

#include "desktop/mprisadaptors.h"
#include "desktop/mprismetadata.h"
#include "desktop/mpristarget.h"
#include "desktop/mprisvalues.h"

namespace orba {

struct MprisService::Impl {
    MprisTarget& target;
    std::unique_ptr<QObject> object;
    MprisSnapshot announced;
    std::string busName;
};

MprisService::MprisService(MprisTarget& target)
    : m(std::make_unique<Impl>(Impl{target, {}, {}, {}})) {}

MprisService::~MprisService() {
    if (m->busName.empty()) return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(QString::fromLatin1(kMprisObjectPath));
    bus.unregisterService(QString::fromStdString(m->busName));
}

bool MprisService::start() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) return false;
    auto object = std::make_unique<QObject>();
    new MprisRootAdaptor(object.get(), m->target);
    new MprisPlayerAdaptor(object.get(), m->target, [this] { changed(); });
    if (!bus.registerObject(QString::fromLatin1(kMprisObjectPath), object.get())) return false;
    QString name = QString::fromLatin1(kMprisBusName);
    if (!bus.registerService(name)) {
        name += QStringLiteral(".instance%1").arg(QCoreApplication::applicationPid());
        if (!bus.registerService(name)) {
            bus.unregisterObject(QString::fromLatin1(kMprisObjectPath));
            return false;
        }
    }
    m->object = std::move(object);
    m->busName = name.toStdString();
    m->announced = m->target.snapshot();
    return true;
}

const std::string& MprisService::busName() const {
    return m->busName;
}

void MprisService::changed() {
    if (m->busName.empty()) return;
    const MprisSnapshot now = m->target.snapshot();
    const std::vector<std::string> names = changedPlayerProperties(m->announced, now);
    m->announced = now;
    if (names.empty()) return;
    QVariantMap properties;
    for (const std::string& n : names) {
        const QString name = QString::fromStdString(n);
        properties.insert(name, playerPropertyValue(name, now));
    }
    QDBusMessage signal = QDBusMessage::createSignal(
        QString::fromLatin1(kMprisObjectPath), QStringLiteral("org.freedesktop.DBus.Properties"),
        QStringLiteral("PropertiesChanged"));
    signal << QString::fromLatin1(kMprisPlayerInterface) << properties << QStringList();
    QDBusConnection::sessionBus().send(signal);
}

}  // namespace orba
