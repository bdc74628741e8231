// The party server over real sockets: a library of our own songs, a fake
// player that records what it was asked, and clients from loopback
// addresses of their own.
#include "party/partyserver.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "library/library.h"
#include "party/partypage.h"
#include "tests/library/songfolder.h"
#include "tests/party/rawclient.h"

namespace orba {
namespace {

using test::HttpAnswer;
using test::RawClient;

QJsonObject parsed(const std::string& json) {
    return QJsonDocument::fromJson(QByteArray::fromStdString(json)).object();
}

// Answers every action at once, with `outcome`, and keeps what it was asked.
class FakePlayer {
public:
    PartyServer::ActionHandler handler() {
        return [this](PartyAction action, std::function<void(PartyOutcome)> reply) {
            PartyOutcome o;
            {
                std::lock_guard lock(m_mutex);
                m_actions.push_back(action);
                o = outcome;
                if (silent) {
                    m_replies.push_back(std::move(reply));
                    return;
                }
            }
            reply(o);
        };
    }
    std::vector<PartyAction> actions() {
        std::lock_guard lock(m_mutex);
        return m_actions;
    }
    std::vector<std::function<void(PartyOutcome)>> takeReplies() {
        std::lock_guard lock(m_mutex);
        return std::move(m_replies);
    }

    PartyOutcome outcome{200, 7, false, {}};
    bool silent = false;  // keeps the replies instead of answering

private:
    std::mutex m_mutex;
    std::vector<PartyAction> m_actions;
    std::vector<std::function<void(PartyOutcome)>> m_replies;
};

class PartyServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::pair<const char*, const char*> songs[] = {
            {"Blue Sky", "Sora Band"}, {"アサノウタ", "ミナミ"}, {"Night Train", "Echo"}};
        for (const auto& [title, artist] : songs) {
            SongFacts f;
            f.type = "audio";
            f.title = title;
            f.artist = artist;
            f.lyrics = std::string("la la ") + title;
            folder.tell(folder.addSong(std::string(title) + ".mp3"), f);
        }
        Library library(folder.libraryFile(), folder.describer());
        library.addFolder(folder.songs());
        ASSERT_TRUE(library.rescan().complete);
        options.libraryFile = folder.libraryFile();
        options.bindAddress = "127.0.0.1";
        options.refusalDelayMs = 20;
    }
    void startServer() {
        server = std::make_unique<PartyServer>(options, player.handler());
        std::string error;
        ASSERT_TRUE(server->start(&error)) << error;
    }
    std::string tokenHeader() const { return "X-Room-Token: " + server->token() + "\r\n"; }
    std::string hostHeaders() const {
        return tokenHeader() + "X-Host-Pin: " + server->pin() + "\r\n";
    }
    HttpAnswer get(const std::string& target, const std::string& from = "127.0.0.1") {
        RawClient c(server->port(), from);
        return c.request("GET", target, tokenHeader());
    }
    HttpAnswer post(const std::string& target, const std::string& body, bool host = false) {
        RawClient c(server->port());
        return c.request("POST", target, host ? hostHeaders() : tokenHeader(), body);
    }

    test::SongFolder folder;
    PartyOptions options;
    FakePlayer player;
    std::unique_ptr<PartyServer> server;
};

TEST_F(PartyServerTest, EveryRequestWithoutTheRightTokenIsRefusedAlike) {
    startServer();
    RawClient none(server->port());
    const HttpAnswer missing = none.request("GET", "/");
    RawClient wrong(server->port());
    const HttpAnswer wrongToken = wrong.request("GET", "/api/queue", "X-Room-Token: abc\r\n");
    RawClient almost(server->port());
    std::string near = server->token();
    near.back() = near.back() == 'A' ? 'B' : 'A';
    const HttpAnswer nearToken = almost.request("GET", "/api/search?q=blue&t=" + near);
    for (const HttpAnswer& a : {missing, wrongToken, nearToken}) {
        EXPECT_EQ(a.status, 403);
        EXPECT_EQ(a.body, missing.body);
    }
    EXPECT_EQ(get("/?t=" + server->token()).status, 200);
}

TEST_F(PartyServerTest, TheRefusalWaitsWithoutHoldingUpOtherGuests) {
    options.refusalDelayMs = 1000;
    startServer();
    RawClient guesser(server->port(), "127.0.0.2");
    guesser.send("GET /api/queue HTTP/1.1\r\nX-Room-Token: nope\r\n\r\n");
    EXPECT_EQ(get("/api/queue").status, 200);
    EXPECT_FALSE(guesser.answered());
    EXPECT_EQ(guesser.read().status, 403);
}

TEST_F(PartyServerTest, ThePageComesWithItsTokenInTheQueryAndAllowsNothingFromOutside) {
    startServer();
    const HttpAnswer page = get("/?t=" + server->token());
    ASSERT_EQ(page.status, 200);
    EXPECT_EQ(page.body, party::partyPageHtml());
    EXPECT_NE(page.headers.at("content-security-policy").find("default-src 'none'"),
              std::string::npos);
    EXPECT_EQ(page.headers.at("referrer-policy"), "no-referrer");
    // Guests' text reaches the page through textContent only.
    EXPECT_EQ(page.body.find("innerHTML"), std::string::npos);
    EXPECT_EQ(page.body.find("insertAdjacentHTML"), std::string::npos);
    EXPECT_EQ(page.body.find("src="), std::string::npos);
    EXPECT_EQ(page.body.find("href="), std::string::npos);
}

TEST_F(PartyServerTest, SearchAnswersSongsByLibraryIdWithoutTheirFiles) {
    startServer();
    const HttpAnswer a = get("/api/search?q=blue%20sky");
    ASSERT_EQ(a.status, 200);
    const QJsonArray songs = parsed(a.body)["songs"].toArray();
    ASSERT_EQ(songs.size(), 1);
    const QJsonObject s = songs[0].toObject();
    EXPECT_EQ(s["title"].toString(), "Blue Sky");
    EXPECT_EQ(s["artist"].toString(), "Sora Band");
    EXPECT_GT(s["id"].toInteger(), 0);
    EXPECT_EQ(s.keys(), (QStringList{"artist", "id", "line", "title"}));
    EXPECT_EQ(parsed(get("/api/search?q=%E3%82%A2%E3%82%B5").body)["songs"].toArray().size(), 1);
    EXPECT_EQ(parsed(get("/api/search?q=").body)["songs"].toArray().size(), 0);
    EXPECT_EQ(get("/api/search?q=" + std::string(300, 'a')).status, 400);
}

TEST_F(PartyServerTest, PathsInRequestsReachNoFile) {
    startServer();
    for (const char* target :
         {"/etc/passwd", "/../../etc/passwd", "/api/../../etc/passwd", "/%2e%2e/etc/passwd"})
        EXPECT_EQ(get(target).status, 404) << target;
    RawClient c(server->port());
    EXPECT_EQ(c.request("DELETE", "/api/queue/..%2Fetc%2Fpasswd", hostHeaders()).status, 400);
    EXPECT_EQ(post("/api/queue", R"({"song":"/etc/passwd","singer":"a"})").status, 400);
    EXPECT_EQ(post("/api/queue", R"({"song":"../x.mp3","singer":"a"})").status, 400);
    const HttpAnswer search = get("/api/search?q=..%2F..%2Fetc%2Fpasswd");
    EXPECT_EQ(search.status, 200);
    for (const std::string& target :
         {std::string("/api/search?q=la"), std::string("/api/search?q=mp3")})
        EXPECT_EQ(get(target).body.find(folder.songs()), std::string::npos);
    EXPECT_TRUE(player.actions().empty());
}

TEST_F(PartyServerTest, QueueingHandsTheSongAndTheBoundedNameToThePlayer) {
    startServer();
    const HttpAnswer a = post("/api/queue", R"({"song":12,"singer":"  Yuki\u0007\u202e "})");
    ASSERT_EQ(a.status, 200);
    EXPECT_EQ(parsed(a.body)["entry"].toInteger(), 7);
    const std::string longName(1000, 'x');
    EXPECT_EQ(post("/api/queue", R"({"song":3,"singer":")" + longName + R"("})").status, 200);
    ASSERT_EQ(player.actions().size(), 2u);
    EXPECT_EQ(player.actions()[0], (PartyAction{PartyAction::Kind::Queue, 12, "Yuki", 0, 0, {}}));
    EXPECT_EQ(player.actions()[1].singer, std::string(40, 'x'));
    EXPECT_EQ(post("/api/queue", R"({"song":3,"singer":"\u0001 "})").status, 400);
}

TEST_F(PartyServerTest, ThePlayersRefusalReachesTheGuest) {
    player.outcome = PartyOutcome{409, 0, false, "10 songs are waiting for you"};
    startServer();
    const HttpAnswer a = post("/api/queue", R"({"song":1,"singer":"Aki"})");
    EXPECT_EQ(a.status, 409);
    EXPECT_EQ(parsed(a.body)["error"].toString(), "10 songs are waiting for you");
}

TEST_F(PartyServerTest, APlayerThatNeverRepliesCostsA503AndItsLateReplyIsHarmless) {
    options.actionTimeoutMs = 200;
    player.silent = true;
    startServer();
    EXPECT_EQ(post("/api/queue", R"({"song":1,"singer":"Aki"})").status, 503);
    auto replies = player.takeReplies();
    ASSERT_EQ(replies.size(), 1u);
    replies[0](PartyOutcome{});
    server->stop();
    EXPECT_EQ(post("/api/skip", "", true).status, 0);
}

TEST_F(PartyServerTest, HostRequestsNeedThePin) {
    startServer();
    RawClient c(server->port());
    const HttpAnswer noPin = c.request("POST", "/api/skip", tokenHeader(), "");
    RawClient d(server->port());
    const HttpAnswer wrongPin =
        d.request("DELETE", "/api/queue/4", tokenHeader() + "X-Host-Pin: 0000000\r\n");
    EXPECT_EQ(noPin.status, 403);
    EXPECT_EQ(wrongPin.status, 403);
    EXPECT_EQ(wrongPin.body, noPin.body);
    EXPECT_TRUE(player.actions().empty());

    player.outcome.paused = true;
    EXPECT_EQ(post("/api/skip", "", true).status, 200);
    EXPECT_EQ(post("/api/queue/4/move", R"({"to":0})", true).status, 200);
    const HttpAnswer pause = post("/api/pause", R"({"paused":true})", true);
    EXPECT_EQ(parsed(pause.body)["paused"].toBool(), true);
    EXPECT_EQ(post("/api/pause", "", true).status, 200);
    RawClient e(server->port());
    EXPECT_EQ(e.request("DELETE", "/api/queue/4", hostHeaders()).status, 200);
    const std::vector<PartyAction> expected = {
        {PartyAction::Kind::Skip, 0, {}, 0, 0, {}},    {PartyAction::Kind::Move, 0, {}, 4, 0, {}},
        {PartyAction::Kind::Pause, 0, {}, 0, 0, true}, {PartyAction::Kind::Pause, 0, {}, 0, 0, {}},
        {PartyAction::Kind::Remove, 0, {}, 4, 0, {}},
    };
    EXPECT_EQ(player.actions(), expected);
}

TEST_F(PartyServerTest, AnAddressThatKeepsGuessingThePinIsShutOut) {
    options.pinFailuresPerAddress = 3;
    startServer();
    for (int i = 0; i < 3; ++i) {
        RawClient c(server->port(), "127.0.0.3");
        EXPECT_EQ(c.request("POST", "/api/skip", tokenHeader() + "X-Host-Pin: 1\r\n").status, 403);
    }
    RawClient late(server->port(), "127.0.0.3");
    EXPECT_EQ(late.request("POST", "/api/skip", hostHeaders()).status, 403);
    RawClient host(server->port(), "127.0.0.4");
    EXPECT_EQ(host.request("POST", "/api/skip", hostHeaders()).status, 200);
}

TEST_F(PartyServerTest, TheQueueAsPublishedComesBackAsJsonText) {
    startServer();
    EXPECT_EQ(parsed(get("/api/queue").body)["entries"].toArray().size(), 0);
    PartyQueueView view;
    view.entries.push_back(
        QueueEntry{5, 2, "/songs/secret.mp3", "Blue Sky", "<script>alert(1)</script>", {}, {}, {}});
    server->publishQueue(view);
    // The publication crosses threads: wait for it with a deadline.
    HttpAnswer a;
    for (int i = 0; i < 200 && parsed(a.body)["entries"].toArray().isEmpty(); ++i) {
        a = get("/api/queue");
        if (parsed(a.body)["entries"].toArray().isEmpty())
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    const QJsonObject entry = parsed(a.body)["entries"].toArray()[0].toObject();
    EXPECT_EQ(entry["singer"].toString(), "<script>alert(1)</script>");
    EXPECT_EQ(entry["entry"].toInteger(), 5);
    EXPECT_EQ(a.body.find("secret.mp3"), std::string::npos);
    EXPECT_EQ(a.headers.at("content-type"), "application/json; charset=utf-8");
}

TEST_F(PartyServerTest, TheWebSocketShowsTheQueueAtOnceAndOnEveryChange) {
    startServer();
    RawClient ws(server->port());
    ASSERT_TRUE(ws.openWebSocket(server->token()));
    const std::optional<std::string> first = ws.readMessage();
    ASSERT_TRUE(first);
    EXPECT_EQ(*first, queueViewJson({}));
    PartyQueueView view;
    view.now = QueueEntry{1, 3, "/x.mp3", "Night Train", "Aki", {}, {}, {}};
    view.paused = true;
    server->publishQueue(view);
    EXPECT_EQ(ws.readMessage(), queueViewJson(view));

    RawClient stranger(server->port());
    EXPECT_FALSE(stranger.openWebSocket("wrong"));
}

TEST_F(PartyServerTest, ClosedWebSocketsGiveTheirAddressItsPlaceBack) {
    options.connectionsPerAddress = 3;
    startServer();
    for (int i = 0; i < 10; ++i) {
        // The server learns of the last close a moment after the client.
        bool opened = false;
        for (int attempt = 0; attempt < 500 && !opened; ++attempt) {
            RawClient ws(server->port(), "127.0.0.8");
            opened = ws.openWebSocket(server->token()) && ws.readMessage();
            if (!opened) std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        ASSERT_TRUE(opened) << i;
    }
}

TEST_F(PartyServerTest, AWebSocketThatSendsTooMuchIsClosed) {
    options.maxWebSocketMessageBytes = 64;
    startServer();
    RawClient ws(server->port());
    ASSERT_TRUE(ws.openWebSocket(server->token()));
    ASSERT_TRUE(ws.readMessage());
    ws.sendMessage(std::string(500, 'x'));
    EXPECT_TRUE(ws.closedWithin(10000));
}

TEST_F(PartyServerTest, RequestsSentTogetherAreAnsweredInTurn) {
    startServer();
    RawClient c(server->port());
    const std::string queue = "GET /api/queue HTTP/1.1\r\n" + tokenHeader() + "\r\n";
    const std::string body = R"({"song":5,"singer":"Mio"})";
    c.send(queue + "POST /api/queue HTTP/1.1\r\n" + tokenHeader() +
           "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body + queue);
    EXPECT_EQ(c.read().status, 200);
    const HttpAnswer queued = c.read();
    EXPECT_EQ(parsed(queued.body)["entry"].toInteger(), 7);
    EXPECT_EQ(c.read().status, 200);
    ASSERT_EQ(player.actions().size(), 1u);
    EXPECT_EQ(player.actions()[0].song, 5);
}

TEST_F(PartyServerTest, OversizedRequestsAreRefusedBeforeTheyAreRead) {
    startServer();
    const HttpAnswer body =
        post("/api/queue", R"({"song":1,"singer":")" + std::string(20 * 1024, 'a') + "\"}");
    EXPECT_EQ(body.status, 413);
    RawClient c(server->port());
    EXPECT_EQ(c.request("GET", "/api/queue",
                        tokenHeader() + "X-Filler: " + std::string(10000, 'f') + "\r\n")
                  .status,
              431);
    RawClient chunked(server->port());
    EXPECT_EQ(
        chunked.request("POST", "/api/queue", tokenHeader() + "Transfer-Encoding: chunked\r\n")
            .status,
        501);
    EXPECT_TRUE(player.actions().empty());
}

TEST_F(PartyServerTest, ABurstFromOneAddressIsSlowedDownAndOthersAreNot) {
    startServer();
    RawClient c(server->port(), "127.0.0.5");
    int tooMany = 0;
    for (int i = 0; i < 100; ++i) {
        const HttpAnswer a = c.request("GET", "/api/queue", tokenHeader());
        ASSERT_NE(a.status, 0);
        if (a.status == 429) ++tooMany;
    }
    EXPECT_GE(tooMany, 40);
    EXPECT_EQ(get("/api/queue", "127.0.0.6").status, 200);
}

TEST_F(PartyServerTest, ASlowRequestIsCutOffWhileOthersAreAnswered) {
    options.requestDeadlineMs = 300;
    startServer();
    RawClient slow(server->port(), "127.0.0.7");
    slow.send("GET /api/queue HTTP/1.1\r\nX-Room");
    EXPECT_EQ(get("/api/queue").status, 200);
    for (int i = 0; i < 3 && slow.send("-"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_TRUE(slow.closedWithin(10000));
}

TEST_F(PartyServerTest, ThousandsOfIdleConnectionsLeaveRoomForAGuest) {
    options.maxConnections = 1500;
    startServer();
    std::vector<std::unique_ptr<RawClient>> idle;
    for (int a = 0; a < 40; ++a)
        for (int i = 0; i < 50; ++i)
            idle.push_back(
                std::make_unique<RawClient>(server->port(), "127.0.1." + std::to_string(a + 1)));
    EXPECT_EQ(get("/api/queue").status, 200);
    // One address cannot hold more than its share.
    std::vector<std::unique_ptr<RawClient>> greedy;
    for (int i = 0; i < options.connectionsPerAddress + 10; ++i)
        greedy.push_back(std::make_unique<RawClient>(server->port(), "127.0.2.1"));
    int closed = 0;
    for (auto& g : greedy) closed += g->closedWithin(50) ? 1 : 0;
    EXPECT_GE(closed, 10);
    EXPECT_EQ(get("/api/queue").status, 200);
}

TEST_F(PartyServerTest, EveryStartMakesANewTokenAndPin) {
    startServer();
    const std::string token = server->token();
    const std::string pin = server->pin();
    EXPECT_GE(token.size(), 22u);  // 128 bits in Base64
    EXPECT_EQ(
        token.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_"),
        std::string::npos);
    EXPECT_EQ(pin.size(), 6u);
    std::string error;
    ASSERT_TRUE(server->start(&error)) << error;
    EXPECT_NE(server->token(), token);
    RawClient old(server->port());
    EXPECT_EQ(old.request("GET", "/api/queue", "X-Room-Token: " + token + "\r\n").status, 403);
    EXPECT_NE(server->guestAddress().find(":" + std::to_string(server->port()) +
                                          "/?t=" + server->token()),
              std::string::npos);
}

TEST_F(PartyServerTest, AServerThatCannotStartSaysWhy) {
    startServer();
    options.port = server->port();
    PartyServer second(options, player.handler());
    std::string error;
    EXPECT_FALSE(second.start(&error));
    EXPECT_NE(error.find(std::to_string(server->port())), std::string::npos);
    options.port = 0;
    options.libraryFile = "/dev/null/library.db";
    PartyServer third(options, player.handler());
    EXPECT_FALSE(third.start(&error));
    EXPECT_NE(error.find("library"), std::string::npos);
}

}  // namespace
}  // namespace orba
