// The snapshot in the bus's own terms: the Metadata map and the value of each
// player property as the controls read it.
#pragma once

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include "desktop/mpristarget.h"

namespace orba {

// The object path of "no song", which the controls know.
inline constexpr const char* kNoTrackId = "/org/mpris/MediaPlayer2/TrackList/NoTrack";

QVariantMap mprisMetadata(const MprisSnapshot& snapshot);

// The value of a property of the Player interface; an invalid QVariant for a
// name it does not have.
QVariant playerPropertyValue(const QString& name, const MprisSnapshot& snapshot);

}  // namespace orba
