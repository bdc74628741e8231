// The party server's decisions without sockets: names, secrets, request
// rates, routes and the bodies' meaning.
#include "party/partyrules.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

namespace orba::party {
namespace {

TEST(PartySingerName, LosesControlAndInvisibleCharactersAndOuterBlanks) {
    EXPECT_EQ(boundSingerName("  Yuki \n"), "Yuki");
    EXPECT_EQ(boundSingerName("A\tB\x7f"
                              "C"),
              "ABC");
    EXPECT_EQ(boundSingerName("\u202eikuY\u202c"), "ikuY");  // a bidirectional override
    EXPECT_EQ(boundSingerName("Yu\u200bki\ufeff"), "Yuki");  // zero-width characters
    EXPECT_EQ(boundSingerName("\u3000ゆき\u3000"), "ゆき");  // ideographic blanks
    EXPECT_EQ(boundSingerName("a  b"), "a  b");
    EXPECT_EQ(boundSingerName("\x01\x02 "), "");
    EXPECT_EQ(boundSingerName("\xff\xfe"), "");  // bytes that are no UTF-8 go
}

TEST(PartySingerName, IsCutToFortyCharactersNotBytes) {
    EXPECT_EQ(boundSingerName(std::string(1000, 'x')), std::string(40, 'x'));
    std::string kana;
    for (int i = 0; i < 50; ++i) kana += "あ";
    std::string forty;
    for (int i = 0; i < 40; ++i) forty += "あ";
    EXPECT_EQ(boundSingerName(kana), forty);
    // A cut that ends on a blank leaves no trailing blank.
    EXPECT_EQ(boundSingerName(std::string(39, 'x') + " yz"), std::string(39, 'x'));
}

TEST(PartySecrets, MatchOnlyWhenEqualWhateverTheLength) {
    EXPECT_TRUE(sameSecret("abc123", "abc123"));
    EXPECT_FALSE(sameSecret("abc124", "abc123"));
    EXPECT_FALSE(sameSecret("abc12", "abc123"));
    EXPECT_FALSE(sameSecret("abc1234", "abc123"));
    EXPECT_FALSE(sameSecret("", "abc123"));
    EXPECT_FALSE(sameSecret("", ""));  // no secret set lets nobody in
}

TEST(PartyRateBucket, AllowsABurstThenTheSteadyRate) {
    RateBucket b;
    int taken = 0;
    while (takeRequest(b, 1000, 20, 40)) ++taken;
    EXPECT_EQ(taken, 40);
    EXPECT_FALSE(takeRequest(b, 1049, 20, 40));
    EXPECT_TRUE(takeRequest(b, 1050, 20, 40));  // one more every 50 ms
    EXPECT_FALSE(takeRequest(b, 1050, 20, 40));
    EXPECT_FALSE(bucketRested(b, 2000, 20, 40));
    EXPECT_TRUE(bucketRested(b, 3100, 20, 40));
    // A clock that goes back gives nothing.
    EXPECT_FALSE(takeRequest(b, 500, 20, 40));
    // A long pause refills up to the burst, no more.
    int later = 0;
    while (takeRequest(b, 100000, 20, 40)) ++later;
    EXPECT_EQ(later, 40);
}

struct RouteCase {
    const char* method;
    const char* path;
    Route route;
    std::int64_t entry;
};

TEST(PartyRoutes, MatchExactlyAndTakeOnlyNumbersForEntries) {
    const RouteCase cases[] = {
        {"GET", "/", Route::Page, 0},
        {"GET", "/api/search", Route::Search, 0},
        {"GET", "/api/queue", Route::QueueGet, 0},
        {"POST", "/api/queue", Route::QueuePost, 0},
        {"DELETE", "/api/queue/12", Route::QueueRemove, 12},
        {"POST", "/api/queue/12/move", Route::QueueMove, 12},
        {"POST", "/api/skip", Route::Skip, 0},
        {"POST", "/api/pause", Route::Pause, 0},
        {"GET", "/ws", Route::WebSocket, 0},
        {"POST", "/", Route::WrongMethod, 0},
        {"GET", "/api/skip", Route::WrongMethod, 0},
        {"POST", "/api/queue/12", Route::WrongMethod, 12},
        {"DELETE", "/api/queue/0", Route::BadEntry, 0},
        {"DELETE", "/api/queue/-1", Route::BadEntry, 0},
        {"DELETE", "/api/queue/..%2F..%2Fetc", Route::BadEntry, 0},
        {"DELETE", "/api/queue/1e3", Route::BadEntry, 0},
        {"DELETE", "/api/queue/99999999999999999999", Route::BadEntry, 0},
        {"POST", "/api/queue//move", Route::BadEntry, 0},
        {"GET", "/index.html", Route::NotFound, 0},
        {"GET", "/etc/passwd", Route::NotFound, 0},
        {"GET", "/api/queue/../../etc/passwd", Route::BadEntry, 0},
        {"GET", "//", Route::NotFound, 0},
    };
    for (const RouteCase& c : cases) {
        const RouteMatch m = matchRoute(c.method, c.path);
        EXPECT_EQ(m.route, c.route) << c.method << " " << c.path;
        EXPECT_EQ(m.entry, c.entry) << c.method << " " << c.path;
    }
    EXPECT_TRUE(hostRoute(Route::Skip));
    EXPECT_FALSE(hostRoute(Route::QueuePost));
}

TEST(PartyQuery, FindsDecodedValues) {
    EXPECT_EQ(queryValue("t=abc&q=blue+sky", "q"), "blue sky");
    EXPECT_EQ(queryValue("q=%E3%81%82%2B", "q"), "あ+");
    EXPECT_EQ(queryValue("q=100%", "q"), "100%");
    EXPECT_EQ(queryValue("q", "q"), "");
    EXPECT_EQ(queryValue("qq=1", "q"), std::nullopt);
    EXPECT_EQ(queryValue("", "t"), std::nullopt);
    EXPECT_EQ(queryValue("t=a&t=b", "t"), "a");
}

TEST(PartyBodies, QueueNeedsALibraryIdAndAName) {
    const BodyAction ok = queueRequest(R"({"song":42,"singer":"Aki"})");
    ASSERT_TRUE(ok.action);
    EXPECT_EQ(*ok.action, (PartyAction{PartyAction::Kind::Queue, 42, "Aki", 0, 0, {}}));
    for (const char* bad :
         {"", "[]", "{", R"({"song":"42","singer":"a"})", R"({"song":4.5,"singer":"a"})",
          R"({"song":0,"singer":"a"})", R"({"song":-3,"singer":"a"})",
          R"({"song":1e300,"singer":"a"})", R"({"song":1,"singer":7})",
          R"({"song":1,"singer":"   "})", R"({"song":1})"})
        EXPECT_FALSE(queueRequest(bad).action) << bad;
    EXPECT_FALSE(queueRequest("{}").error.empty());
}

TEST(PartyBodies, MoveAndPause) {
    EXPECT_EQ(moveRequest(3, R"({"to":0})").action->to, 0);
    EXPECT_EQ(moveRequest(3, R"({"to":2})").action->entry, 3);
    EXPECT_FALSE(moveRequest(3, R"({"to":-1})").action);
    EXPECT_FALSE(moveRequest(3, R"({})").action);
    EXPECT_EQ(pauseRequest("").action->paused, std::nullopt);
    EXPECT_EQ(pauseRequest("{}").action->paused, std::nullopt);
    EXPECT_EQ(pauseRequest(R"({"paused":false})").action->paused, false);
    EXPECT_FALSE(pauseRequest(R"({"paused":"yes"})").action);
    EXPECT_FALSE(pauseRequest("nonsense").action);
}

TEST(PartyAnswers, ShowTheQueueAndHitsWithoutPaths) {
    PartyQueueView view;
    view.now = QueueEntry{1, 9, "/home/me/songs/a.mp3", "A \"song\"", "Mio", {}, {}, {}};
    view.entries.push_back(QueueEntry{2, 0, "/tmp/b.mp3", "B", "<b>x</b>", {}, {}, {}});
    const std::string json = queueViewJson(view);
    EXPECT_EQ(
        json,
        R"({"now": {"song": 9, "title": "A \"song\"", "singer": "Mio"}, )"
        R"("entries": [{"entry": 2, "song": 0, "title": "B", "singer": "<b>x</b>"}], "paused": false})");
    EXPECT_EQ(queueViewJson({}), R"({"now": null, "entries": [], "paused": false})");
    const std::string hits = searchJson({SearchHit{4, "/secret/x.mp3", "T", "A", "line"}});
    EXPECT_EQ(hits, R"({"songs": [{"id": 4, "title": "T", "artist": "A", "line": "line"}]})");
}

TEST(PartyAnswers, PassOnlyTheRefusalsAGuestCanActOn) {
    EXPECT_EQ(outcomeAnswer(PartyAction::Kind::Queue, {200, 5, false, {}}).body, R"({"entry": 5})");
    EXPECT_EQ(outcomeAnswer(PartyAction::Kind::Pause, {200, 0, true, {}}).body,
              R"({"paused": true})");
    const Answer full = outcomeAnswer(PartyAction::Kind::Queue, {409, 0, false, "too many"});
    EXPECT_EQ(full.status, 409);
    EXPECT_EQ(full.body, R"({"error": "too many"})");
    EXPECT_EQ(outcomeAnswer(PartyAction::Kind::Skip, {302, 0, false, "/elsewhere"}).status, 500);
    EXPECT_EQ(outcomeAnswer(PartyAction::Kind::Remove, {404, 0, false, {}}).body,
              R"({"error": "the player refused"})");
}

}  // namespace
}  // namespace orba::party
