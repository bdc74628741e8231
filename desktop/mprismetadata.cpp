#include "desktop/mprismetadata.h"

#include <QDBusObjectPath>
#include <QStringList>

#include "desktop/mprisvalues.h"

namespace orba {

namespace {
QString text(const std::string& s) {
    return QString::fromStdString(s);
}
}  // namespace

QVariantMap mprisMetadata(const MprisSnapshot& s) {
    QVariantMap m;
    const std::string& id = s.trackId.empty() ? std::string(kNoTrackId) : s.trackId;
    m.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(text(id))));
    if (s.url.empty()) return m;
    m.insert(QStringLiteral("mpris:length"), QVariant::fromValue(qlonglong(s.lengthUs)));
    m.insert(QStringLiteral("xesam:url"), text(s.url));
    m.insert(QStringLiteral("xesam:title"), text(s.title));
    if (!s.artist.empty()) m.insert(QStringLiteral("xesam:artist"), QStringList{text(s.artist)});
    if (!s.artUrl.empty()) m.insert(QStringLiteral("mpris:artUrl"), text(s.artUrl));
    if (!s.lyricLine.empty()) m.insert(QStringLiteral("xesam:asText"), text(s.lyricLine));
    return m;
}

QVariant playerPropertyValue(const QString& name, const MprisSnapshot& s) {
    if (name == QLatin1String("PlaybackStatus"))
        return QString::fromLatin1(playbackStatusName(s.status));
    if (name == QLatin1String("Metadata")) return mprisMetadata(s);
    if (name == QLatin1String("Volume")) return s.volume;
    if (name == QLatin1String("Position")) return QVariant::fromValue(qlonglong(s.positionUs));
    if (name == QLatin1String("CanGoNext")) return s.canGoNext;
    if (name == QLatin1String("CanGoPrevious")) return s.canGoPrevious;
    if (name == QLatin1String("CanPlay")) return s.canPlay;
    if (name == QLatin1String("CanPause")) return s.canPause;
    if (name == QLatin1String("CanSeek")) return s.canSeek;
    return {};
}

}  // namespace orba
