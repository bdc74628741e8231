#include "desktop/mprisvalues.h"

#include <gtest/gtest.h>

#include <QDBusObjectPath>
#include <QStringList>

#include "desktop/mprismetadata.h"

namespace orba {
namespace {

SeekRequest playingAt(int positionMs, std::int64_t targetMs, bool midi = false) {
    SeekRequest r;
    r.playing = true;
    r.isMidi = midi;
    r.positionMs = positionMs;
    r.lengthMs = 60000;
    r.targetMs = targetMs;
    return r;
}

TEST(MprisSeek, FollowsTheRulesOfTheSeekKeys) {
    EXPECT_EQ(plannedSeek(playingAt(10000, 15000)), 15000);
    EXPECT_EQ(plannedSeek(playingAt(10000, 4000)), 4000);
    // Never before the start, never later than a second before the end.
    EXPECT_EQ(plannedSeek(playingAt(10000, -3000)), 0);
    EXPECT_EQ(plannedSeek(playingAt(10000, 59500)), 59000);
    EXPECT_EQ(plannedSeek(playingAt(10000, std::int64_t(1) << 40)), 59000);
    SeekRequest tiny = playingAt(100, 5000);
    tiny.lengthMs = 500;
    EXPECT_EQ(plannedSeek(tiny), 0);
}

TEST(MprisSeek, IsRefusedWhenNotPlayingAndBackwardsInMidi) {
    SeekRequest paused = playingAt(10000, 15000);
    paused.playing = false;
    EXPECT_EQ(plannedSeek(paused), std::nullopt);
    EXPECT_EQ(plannedSeek(playingAt(10000, 9000, true)), std::nullopt);
    EXPECT_EQ(plannedSeek(playingAt(10000, 12000, true)), 12000);
}

TEST(MprisSeek, AnAbsolutePositionMustNameTheSongAndLieWithinIt) {
    const std::string id = trackIdFor(3);
    EXPECT_TRUE(positionRequestValid(id, id, 0, 60000000));
    EXPECT_TRUE(positionRequestValid(id, id, 60000000, 60000000));
    EXPECT_FALSE(positionRequestValid(id, id, -1, 60000000));
    EXPECT_FALSE(positionRequestValid(id, id, 60000001, 60000000));
    EXPECT_FALSE(positionRequestValid(id, trackIdFor(2), 1000, 60000000));
    EXPECT_FALSE(positionRequestValid("", "", 1000, 60000000));
}

TEST(MprisNames, TitleIsTheFileNameWithoutItsExtension) {
    EXPECT_EQ(titleFromFileName("/music/my song.mp3"), "my song");
    EXPECT_EQ(titleFromFileName("/music/a.b.c.mid"), "a.b.c");
    EXPECT_EQ(titleFromFileName("/music/.hidden"), ".hidden");
    EXPECT_EQ(titleFromFileName("/music.d/noext"), "noext");
    EXPECT_EQ(titleFromFileName("カラオケ.ogg"), "カラオケ");
}

MprisSnapshot song() {
    MprisSnapshot s;
    s.status = MprisStatus::Playing;
    s.positionUs = 5000000;
    s.lengthUs = 60000000;
    s.volume = 0.5;
    s.trackId = trackIdFor(1);
    s.url = "file:///music/a.mp3";
    s.title = "a";
    s.lyricLine = "first line";
    s.canGoNext = s.canGoPrevious = s.canPlay = s.canPause = s.canSeek = true;
    return s;
}

TEST(MprisChanges, OnlyWhatDiffersIsAnnouncedAndNeverThePosition) {
    MprisSnapshot a = song();
    MprisSnapshot b = a;
    b.positionUs += 15000;
    EXPECT_TRUE(changedPlayerProperties(a, b).empty());

    b.status = MprisStatus::Paused;
    EXPECT_EQ(changedPlayerProperties(a, b), std::vector<std::string>{"PlaybackStatus"});

    b = a;
    b.lyricLine = "second line";
    EXPECT_EQ(changedPlayerProperties(a, b), std::vector<std::string>{"Metadata"});

    // A song change with the folder's end reached.
    b = a;
    b.trackId = trackIdFor(2);
    b.url = "file:///music/b.mp3";
    b.canGoNext = false;
    b.volume = 0.55;
    EXPECT_EQ(changedPlayerProperties(a, b),
              (std::vector<std::string>{"Metadata", "Volume", "CanGoNext"}));
}

TEST(MprisMetadata, NamesTheSongItsLengthPictureAndLine) {
    MprisSnapshot s = song();
    s.artist = "singer";
    s.artUrl = "file:///music/okaraimg/01.jpg";
    const QVariantMap m = mprisMetadata(s);
    EXPECT_EQ(m.value("mpris:trackid").value<QDBusObjectPath>().path().toStdString(),
              "/org/orbakaraoke/track/1");
    EXPECT_EQ(m.value("mpris:length").toLongLong(), 60000000);
    EXPECT_EQ(m.value("mpris:length").metaType(), QMetaType::fromType<qlonglong>());
    EXPECT_EQ(m.value("xesam:url").toString(), "file:///music/a.mp3");
    EXPECT_EQ(m.value("xesam:title").toString(), "a");
    EXPECT_EQ(m.value("xesam:artist").toStringList(), QStringList{"singer"});
    EXPECT_EQ(m.value("mpris:artUrl").toString(), "file:///music/okaraimg/01.jpg");
    EXPECT_EQ(m.value("xesam:asText").toString(), "first line");
}

TEST(MprisMetadata, LeavesOutWhatTheSongLacks) {
    MprisSnapshot s = song();
    s.lyricLine.clear();
    QVariantMap m = mprisMetadata(s);
    for (const char* key : {"xesam:artist", "mpris:artUrl", "xesam:asText"})
        EXPECT_FALSE(m.contains(key)) << key;

    // No song at all: only the id the controls know as "no track".
    m = mprisMetadata(MprisSnapshot{});
    EXPECT_EQ(m.keys(), QStringList{"mpris:trackid"});
    EXPECT_EQ(m.value("mpris:trackid").value<QDBusObjectPath>().path().toStdString(), kNoTrackId);
}

TEST(MprisMetadata, PropertiesReadTheSnapshot) {
    MprisSnapshot s = song();
    s.status = MprisStatus::Paused;
    EXPECT_EQ(playerPropertyValue("PlaybackStatus", s).toString(), "Paused");
    EXPECT_EQ(playerPropertyValue("Position", s).toLongLong(), 5000000);
    EXPECT_DOUBLE_EQ(playerPropertyValue("Volume", s).toDouble(), 0.5);
    EXPECT_FALSE(playerPropertyValue("Shuffle", s).isValid());
}

}  // namespace
}  // namespace orba
