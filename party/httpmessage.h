// The HTTP/1.1 the party page needs, and no more: a request head read from
// the bytes a connection has sent so far, with every size bounded before
// anything is kept, and the answers' bytes. Bodies come with a length only
// (no chunks), so a request's whole size is known from its head.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orba::party {

struct RequestHead {
    std::string method;
    std::string path;                                          // the target up to '?'
    std::string query;                                         // after '?', undecoded
    std::vector<std::pair<std::string, std::string>> headers;  // names in lower case
    std::int64_t contentLength = 0;
    bool keepAlive = true;
    bool webSocketUpgrade = false;

    // The first value of a header, by its lower-case name.
    const std::string* header(std::string_view name) const;
};

// What the head of the bytes so far says: more is needed, a request of
// `headBytes` head and `head.contentLength` body, or an answer that ends the
// connection (400, 413, 431, 501, 505).
struct HeadRead {
    enum class State { NeedMore, Complete, Refused } state = State::NeedMore;
    std::size_t headBytes = 0;
    RequestHead head;
    int status = 0;
};
HeadRead readHead(std::string_view bytes, std::size_t maxHeadBytes, std::int64_t maxBodyBytes);

std::string_view reasonPhrase(int status);

// A whole answer. `extraHeaders` are complete "Name: value\r\n" lines.
std::string httpResponse(int status, std::string_view contentType, std::string_view body,
                         bool keepAlive, std::string_view extraHeaders = {});

}  // namespace orba::party
