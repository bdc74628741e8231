// The media-control service on a real session bus (the test runs under a bus
// of its own), called from a second connection as a desktop's controls would.
#include "desktop/mprisservice.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QObject>

#include "desktop/mpristarget.h"
#include "desktop/mprisvalues.h"
#include "desktop/songhandover.h"

namespace orba {
namespace {

class FakeTarget : public MprisTarget {
public:
    MprisSnapshot now;
    bool seekAccepted = true;
    std::vector<std::string> calls;

    void raise() override { calls.push_back("raise"); }
    void quit() override { calls.push_back("quit"); }
    void play() override { calls.push_back("play"); }
    void pause() override { calls.push_back("pause"); }
    void playPause() override {
        calls.push_back("playPause");
        now.status =
            now.status == MprisStatus::Playing ? MprisStatus::Paused : MprisStatus::Playing;
    }
    void stop() override { calls.push_back("stop"); }
    void next() override { calls.push_back("next"); }
    void previous() override { calls.push_back("previous"); }
    bool seek(std::int64_t offsetUs) override {
        calls.push_back("seek " + std::to_string(offsetUs));
        if (seekAccepted) now.positionUs += offsetUs;
        return seekAccepted;
    }
    bool setPosition(const std::string& id, std::int64_t us) override {
        calls.push_back("setPosition " + id + " " + std::to_string(us));
        return false;
    }
    void setVolume(double v) override { now.volume = v; }
    void openFile(const std::string& path) override { calls.push_back("open " + path); }
    MprisSnapshot snapshot() const override { return now; }
};

// Records the signals the service sends.
class Listener : public QObject {
    Q_OBJECT
public:
    QList<QVariantMap> changes;
    QList<qlonglong> seeks;
public slots:
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&) {
        changes.append(changed);
    }
    void seeked(qlonglong position) { seeks.append(position); }
};

// A window that owns the name but is too busy to answer: it only gets to
// the call once the caller has stopped waiting.
class BusyWindow : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
public:
    int calls = 0;
public slots:
    void OpenUri(const QString&) { ++calls; }
};

template <typename Done>
bool waitFor(Done done) {
    QDeadlineTimer deadline(10000);
    while (!done()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

class MprisServiceTest : public ::testing::Test {
protected:
    void SetUp() override {
        target.now.status = MprisStatus::Playing;
        target.now.trackId = trackIdFor(1);
        target.now.url = "file:///music/a.mp3";
        target.now.title = "a";
        target.now.lengthUs = 60000000;
        target.now.positionUs = 1000000;
        target.now.canGoNext = true;
        ASSERT_TRUE(client.isConnected()) << "no session bus";
        ASSERT_TRUE(service.start());
        ASSERT_EQ(service.busName(), kMprisBusName);
        client.connect(kMprisBusName, kMprisObjectPath, "org.freedesktop.DBus.Properties",
                       "PropertiesChanged", &listener,
                       SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        client.connect(kMprisBusName, kMprisObjectPath, kMprisPlayerInterface, "Seeked", &listener,
                       SLOT(seeked(qlonglong)));
    }
    void TearDown() override { QDBusConnection::disconnectFromBus("controls"); }

    // A call as the controls make it, answered while this thread serves.
    QDBusMessage call(const char* interface, const char* method, const QVariantList& args = {}) {
        QDBusMessage m =
            QDBusMessage::createMethodCall(kMprisBusName, kMprisObjectPath, interface, method);
        m.setArguments(args);
        QDBusPendingCall pending = client.asyncCall(m);
        EXPECT_TRUE(waitFor([&] { return pending.isFinished(); }));
        return pending.reply();
    }
    QVariant property(const char* name) {
        const QDBusMessage reply = call("org.freedesktop.DBus.Properties", "Get",
                                        {QString(kMprisPlayerInterface), QString(name)});
        if (reply.type() != QDBusMessage::ReplyMessage) return {};
        return reply.arguments().value(0).value<QDBusVariant>().variant();
    }
    // Lets any signal in flight arrive: a round trip behind it.
    void settle() { property("CanControl"); }

    FakeTarget target;
    MprisService service{target};
    QDBusConnection client = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "controls");
    Listener listener;
};

TEST_F(MprisServiceTest, TheControlsReadTheSnapshotThroughTheBus) {
    EXPECT_EQ(property("PlaybackStatus").toString(), "Playing");
    EXPECT_EQ(property("Position").toLongLong(), 1000000);
    EXPECT_TRUE(property("CanGoNext").toBool());
    EXPECT_FALSE(property("CanGoPrevious").toBool());
    const QDBusMessage all = call("org.freedesktop.DBus.Properties", "Get",
                                  {QString(kMprisRootInterface), QString("Identity")});
    EXPECT_EQ(all.arguments().value(0).value<QDBusVariant>().variant().toString(),
              "ORBA Karaoke Player");
}

TEST_F(MprisServiceTest, PropertiesChangedNamesOnlyWhatChangedAndNeverThePositionAlone) {
    target.now.positionUs += 500000;
    service.changed();
    settle();
    EXPECT_TRUE(listener.changes.isEmpty());

    call(kMprisPlayerInterface, "PlayPause");
    ASSERT_TRUE(waitFor([&] { return !listener.changes.isEmpty(); }));
    EXPECT_EQ(listener.changes.front().keys(), QStringList{"PlaybackStatus"});
    EXPECT_EQ(listener.changes.front().value("PlaybackStatus").toString(), "Paused");

    // Asked again with nothing new: silence.
    service.changed();
    settle();
    EXPECT_EQ(listener.changes.size(), 1);
}

TEST_F(MprisServiceTest, ASeekIsAnnouncedOnlyWhenThePlayerMoved) {
    target.seekAccepted = false;
    call(kMprisPlayerInterface, "Seek", {qlonglong(-2000000)});
    settle();
    EXPECT_TRUE(listener.seeks.isEmpty());

    target.seekAccepted = true;
    call(kMprisPlayerInterface, "Seek", {qlonglong(3000000)});
    ASSERT_TRUE(waitFor([&] { return !listener.seeks.isEmpty(); }));
    EXPECT_EQ(listener.seeks.front(), 4000000);
    EXPECT_EQ(target.calls, (std::vector<std::string>{"seek -2000000", "seek 3000000"}));
}

TEST_F(MprisServiceTest, OnlyLocalFilesAreOpened) {
    call(kMprisPlayerInterface, "OpenUri", {QString("https://example.invalid/a.mp3")});
    call(kMprisPlayerInterface, "OpenUri", {QString("file:///music/b%20c.mp3")});
    EXPECT_EQ(target.calls, std::vector<std::string>{"open /music/b c.mp3"});
}

TEST_F(MprisServiceTest, ASecondStartHandsItsSongOverWithItsFullPath) {
    EXPECT_FALSE(handSongToRunningWindow(""));
    EXPECT_TRUE(handSongToRunningWindow("song.mp3"));
    EXPECT_EQ(target.calls,
              std::vector<std::string>{"open " +
                                       QDir::current().absoluteFilePath("song.mp3").toStdString()});
}

TEST(SongHandover, WithNoWindowOnTheBusTheStartOpensItsOwn) {
    EXPECT_FALSE(handSongToRunningWindow("/music/a.mp3"));
}

TEST(SongHandover, AWindowThatDoesNotAnswerInTimeIsPassedBy) {
    QDBusConnection other = QDBusConnection::connectToBus(QDBusConnection::SessionBus, "busy");
    BusyWindow busy;
    ASSERT_TRUE(other.registerObject(kMprisObjectPath, &busy, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(other.registerService(kMprisBusName));
    // The busy window serves this thread, which waits for the answer.
    EXPECT_FALSE(handSongToRunningWindow("/music/a.mp3", 300));
    // It was asked all the same: only the answer came too late.
    EXPECT_TRUE(waitFor([&] { return busy.calls == 1; }));
    other.unregisterService(kMprisBusName);
    QDBusConnection::disconnectFromBus("busy");
}

}  // namespace
}  // namespace orba

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

#include "mprisservice_test.moc"
