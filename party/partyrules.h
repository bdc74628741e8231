// The party server's decisions, apart from its sockets: which route a
// request takes, what a request body asks, how a guest's name is bounded,
// how many requests an address may make, and the JSON the page reads.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "library/library.h"
#include "party/partyserver.h"

namespace orba::party {

constexpr int kMaxSearchBytes = 200;
constexpr int kSearchLimit = 50;

// A guest's name as the queue keeps it: without control and invisible
// formatting characters (line breaks, bidirectional overrides, zero-width
// marks), without blanks at either end, and cut to its first 40 characters.
// A name is cut rather than refused: the page already stops typing at 40.
std::string boundSingerName(std::string_view utf8);

// Compares two secrets in a time that depends on their lengths only.
bool sameSecret(std::string_view given, std::string_view expected);

// Requests of one client address: `burst` at once, refilled at `perSecond`.
struct RateBucket {
    double tokens = 0;
    std::int64_t lastMs = 0;
    bool started = false;
};
// Takes one request from the bucket at `nowMs`; false when it is empty.
bool takeRequest(RateBucket& bucket, std::int64_t nowMs, double perSecond, int burst);
// True when the bucket would be full at `nowMs`: forgetting it changes nothing.
bool bucketRested(const RateBucket& bucket, std::int64_t nowMs, double perSecond, int burst);

enum class Route {
    Page,
    Search,
    QueueGet,
    QueuePost,
    QueueRemove,
    QueueMove,
    Skip,
    Pause,
    WebSocket,
    NotFound,
    WrongMethod,
    BadEntry,  // /api/queue/X where X is no entry id
};
struct RouteMatch {
    Route route = Route::NotFound;
    std::int64_t entry = 0;
};
// `path` as the request line gives it, without its query.
RouteMatch matchRoute(std::string_view method, std::string_view path);
// The host's requests: they need the PIN.
bool hostRoute(Route route);

// The value of `name` in a query string, percent- and plus-decoded; none
// when it is not there.
std::optional<std::string> queryValue(std::string_view query, std::string_view name);

// What a body asks for, or the 400 answer's text.
struct BodyAction {
    std::optional<PartyAction> action;
    std::string error;
};
BodyAction queueRequest(std::string_view body);
BodyAction moveRequest(std::int64_t entry, std::string_view body);
BodyAction pauseRequest(std::string_view body);

// The answers' bodies.
std::string searchJson(const std::vector<SearchHit>& hits);
std::string errorJson(std::string_view text);
// The body of every refusal for a wrong token or PIN: it tells nothing of
// which one failed.
std::string refusalJson();
// The answer to a player's outcome: its status and body.
struct Answer {
    int status = 200;
    std::string body;
};
Answer outcomeAnswer(PartyAction::Kind kind, const PartyOutcome& outcome);

}  // namespace orba::party
