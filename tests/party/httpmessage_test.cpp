// Request heads as the party server reads them: complete or not yet, and
// every size and form it refuses.
#include "party/httpmessage.h"

#include <gtest/gtest.h>

namespace orba::party {
namespace {

HeadRead read(std::string_view bytes) {
    return readHead(bytes, 8192, 16384);
}

TEST(PartyRequestHead, IsCompleteOnlyAfterItsBlankLine) {
    EXPECT_EQ(read("GET / HTTP/1.1\r\nHost: a\r\n").state, HeadRead::State::NeedMore);
    const HeadRead r =
        read("GET /api/search?q=a%20b HTTP/1.1\r\nHost: a\r\nX-Room-Token:  t1 \r\n\r\nNEXT");
    ASSERT_EQ(r.state, HeadRead::State::Complete);
    EXPECT_EQ(r.head.method, "GET");
    EXPECT_EQ(r.head.path, "/api/search");
    EXPECT_EQ(r.head.query, "q=a%20b");
    ASSERT_NE(r.head.header("x-room-token"), nullptr);
    EXPECT_EQ(*r.head.header("x-room-token"), "t1");
    EXPECT_TRUE(r.head.keepAlive);
    EXPECT_EQ(std::string_view(
                  "GET /api/search?q=a%20b HTTP/1.1\r\nHost: a\r\nX-Room-Token:  t1 \r\n\r\nNEXT")
                  .substr(r.headBytes),
              "NEXT");
}

TEST(PartyRequestHead, KnowsItsBodyAndConnection) {
    const HeadRead post =
        read("POST /api/queue HTTP/1.1\r\nContent-Length: 12\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(post.head.contentLength, 12);
    EXPECT_FALSE(post.head.keepAlive);
    EXPECT_FALSE(read("GET / HTTP/1.0\r\n\r\n").head.keepAlive);
    EXPECT_TRUE(read("GET / HTTP/1.0\r\nConnection: Keep-Alive\r\n\r\n").head.keepAlive);
    const HeadRead ws = read(
        "GET /ws?t=x HTTP/1.1\r\nUpgrade: WebSocket\r\nConnection: keep-alive, Upgrade\r\n\r\n");
    EXPECT_TRUE(ws.head.webSocketUpgrade);
    EXPECT_FALSE(read("GET /ws HTTP/1.1\r\nUpgrade: h2c\r\nConnection: Upgrade\r\n\r\n")
                     .head.webSocketUpgrade);
}

TEST(PartyRequestHead, RefusesWhatItWillNotRead) {
    const std::pair<std::string, int> cases[] = {
        {"GET / HTTP/1.1\r\nX: " + std::string(9000, 'a') + "\r\n\r\n", 431},
        {"GET / HTTP/1.1\r\nX: " + std::string(9000, 'a'), 431},  // no end in sight
        {"POST / HTTP/1.1\r\nContent-Length: 16385\r\n\r\n", 413},
        {"POST / HTTP/1.1\r\nContent-Length: 99999999999999999999\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nContent-Length: -1\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n", 400},
        {"POST / HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n", 501},
        {"GET / HTTP/2.0\r\n\r\n", 505},
        {"GET /\r\n\r\n", 400},
        {"GET http://elsewhere/ HTTP/1.1\r\n\r\n", 400},
        {"G(T / HTTP/1.1\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nNo colon here\r\n\r\n", 400},
        {"GET / HTTP/1.1\r\nBad Name: x\r\n\r\n", 400},
        {"GET /a\x01 HTTP/1.1\r\n\r\n", 400},
    };
    for (const auto& [bytes, status] : cases) {
        const HeadRead r = read(bytes);
        EXPECT_EQ(r.state, HeadRead::State::Refused) << bytes.substr(0, 60);
        EXPECT_EQ(r.status, status) << bytes.substr(0, 60);
    }
    EXPECT_EQ(
        read("POST / HTTP/1.1\r\nContent-Length: 16384\r\nContent-Length: 16384\r\n\r\n").state,
        HeadRead::State::Complete);
}

TEST(PartyResponse, AnnouncesItsLengthAndKeepsTheTokenFromOtherSites) {
    const std::string r = httpResponse(404, "application/json", "{}", false, "X-A: b\r\n");
    EXPECT_EQ(r.rfind("HTTP/1.1 404 Not Found\r\n", 0), 0u);
    EXPECT_NE(r.find("Content-Length: 2\r\n"), std::string::npos);
    EXPECT_NE(r.find("Referrer-Policy: no-referrer\r\n"), std::string::npos);
    EXPECT_NE(r.find("Connection: close\r\nX-A: b\r\n\r\n{}"), std::string::npos);
}

}  // namespace
}  // namespace orba::party
