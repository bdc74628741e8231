#include "desktop/mprisadaptors.h"

#include <QUrl>

#include "desktop/mprismetadata.h"
#include "desktop/mpristarget.h"
#include "desktop/mprisvalues.h"

namespace orba {

MprisRootAdaptor::MprisRootAdaptor(QObject* parent, MprisTarget& target)
    : QDBusAbstractAdaptor(parent), m_target(target) {}

QString MprisRootAdaptor::identity() const {
    return QStringLiteral("ORBA Karaoke Player");
}

QString MprisRootAdaptor::desktopEntry() const {
    return QStringLiteral("orbakaraoke");
}

QStringList MprisRootAdaptor::supportedUriSchemes() const {
    return {QStringLiteral("file")};
}

QStringList MprisRootAdaptor::supportedMimeTypes() const {
    return {QStringLiteral("audio/midi"),  QStringLiteral("audio/x-midi"),
            QStringLiteral("audio/x-wav"), QStringLiteral("audio/mpeg"),
            QStringLiteral("audio/x-mp2"), QStringLiteral("audio/x-ms-wma"),
            QStringLiteral("audio/ogg"),   QStringLiteral("audio/x-vorbis+ogg")};
}

void MprisRootAdaptor::Raise() {
    m_target.raise();
}

void MprisRootAdaptor::Quit() {
    m_target.quit();
}

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* parent, MprisTarget& target,
                                       std::function<void()> changed)
    : QDBusAbstractAdaptor(parent), m_target(target), m_changed(std::move(changed)) {}

QString MprisPlayerAdaptor::playbackStatus() const {
    return QString::fromLatin1(playbackStatusName(m_target.snapshot().status));
}

QVariantMap MprisPlayerAdaptor::metadata() const {
    return mprisMetadata(m_target.snapshot());
}

double MprisPlayerAdaptor::volume() const {
    return m_target.snapshot().volume;
}

void MprisPlayerAdaptor::setVolume(double volume) {
    m_target.setVolume(volume);
    m_changed();
}

qlonglong MprisPlayerAdaptor::position() const {
    return m_target.snapshot().positionUs;
}

bool MprisPlayerAdaptor::canGoNext() const {
    return m_target.snapshot().canGoNext;
}

bool MprisPlayerAdaptor::canGoPrevious() const {
    return m_target.snapshot().canGoPrevious;
}

bool MprisPlayerAdaptor::canPlay() const {
    return m_target.snapshot().canPlay;
}

bool MprisPlayerAdaptor::canPause() const {
    return m_target.snapshot().canPause;
}

bool MprisPlayerAdaptor::canSeek() const {
    return m_target.snapshot().canSeek;
}

void MprisPlayerAdaptor::Next() {
    m_target.next();
    m_changed();
}

void MprisPlayerAdaptor::Previous() {
    m_target.previous();
    m_changed();
}

void MprisPlayerAdaptor::Pause() {
    m_target.pause();
    m_changed();
}

void MprisPlayerAdaptor::PlayPause() {
    m_target.playPause();
    m_changed();
}

void MprisPlayerAdaptor::Stop() {
    m_target.stop();
    m_changed();
}

void MprisPlayerAdaptor::Play() {
    m_target.play();
    m_changed();
}

void MprisPlayerAdaptor::Seek(qlonglong offset) {
    if (m_target.seek(offset)) seeked();
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& trackId, qlonglong position) {
    if (m_target.setPosition(trackId.path().toStdString(), position)) seeked();
}

void MprisPlayerAdaptor::OpenUri(const QString& uri) {
    const QUrl url(uri);
    // Only local files play; anything else is ignored.
    if (!url.isLocalFile()) return;
    m_target.openFile(url.toLocalFile().toStdString());
}

void MprisPlayerAdaptor::seeked() {
    emit Seeked(m_target.snapshot().positionUs);
    m_changed();
}

}  // namespace orba
