#include "party/partyrules.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>
#include <algorithm>
#include <cmath>

#include "platform/json.h"
#include "platform/textencoding.h"

namespace orba::party {

namespace {

std::optional<QJsonObject> bodyObject(std::string_view body) {
    QJsonParseError error{};
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray(body.data(), qsizetype(body.size())), &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) return std::nullopt;
    return doc.object();
}

// A JSON number that is a whole number in [low, high].
std::optional<std::int64_t> wholeNumber(const QJsonValue& v, std::int64_t low, std::int64_t high) {
    if (!v.isDouble()) return std::nullopt;
    const double d = v.toDouble();
    if (!std::isfinite(d) || d != std::floor(d) || d < double(low) || d > double(high))
        return std::nullopt;
    return std::int64_t(d);
}

constexpr std::int64_t kMaxId = std::int64_t(1) << 53;  // what a JSON number holds exactly

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

std::string percentDecoded(std::string_view s) {
    std::string out;
    out.reserve(s.size());
    for (std::size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '+') {
            out += ' ';
        } else if (s[i] == '%' && i + 2 < s.size() && hexDigit(s[i + 1]) >= 0 &&
                   hexDigit(s[i + 2]) >= 0) {
            out += char(hexDigit(s[i + 1]) * 16 + hexDigit(s[i + 2]));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

}  // namespace

std::string boundSingerName(std::string_view utf8) {
    return visibleName(utf8, kSingerNameMax);
}

bool sameSecret(std::string_view given, std::string_view expected) {
    unsigned char differ = given.size() == expected.size() ? 0 : 1;
    const std::size_t n = expected.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char g = i < given.size() ? static_cast<unsigned char>(given[i]) : 0;
        differ |= static_cast<unsigned char>(g ^ static_cast<unsigned char>(expected[i]));
    }
    return differ == 0 && n > 0;
}

bool takeRequest(RateBucket& bucket, std::int64_t nowMs, double perSecond, int burst) {
    if (!bucket.started) {
        bucket.started = true;
        bucket.tokens = burst;
    } else if (nowMs > bucket.lastMs) {
        bucket.tokens =
            std::min<double>(burst, bucket.tokens + (nowMs - bucket.lastMs) * perSecond / 1000.0);
    }
    bucket.lastMs = std::max(bucket.lastMs, nowMs);
    if (bucket.tokens < 1) return false;
    bucket.tokens -= 1;
    return true;
}

bool bucketRested(const RateBucket& bucket, std::int64_t nowMs, double perSecond, int burst) {
    return !bucket.started || bucket.tokens + (nowMs - bucket.lastMs) * perSecond / 1000.0 >= burst;
}

RouteMatch matchRoute(std::string_view method, std::string_view path) {
    const auto only = [&](std::string_view wanted, Route route) {
        return RouteMatch{method == wanted ? route : Route::WrongMethod, 0};
    };
    if (path == "/") return only("GET", Route::Page);
    if (path == "/api/search") return only("GET", Route::Search);
    if (path == "/api/skip") return only("POST", Route::Skip);
    if (path == "/api/pause") return only("POST", Route::Pause);
    if (path == "/ws") return only("GET", Route::WebSocket);
    if (path == "/api/queue") {
        if (method == "GET") return {Route::QueueGet, 0};
        if (method == "POST") return {Route::QueuePost, 0};
        return {Route::WrongMethod, 0};
    }
    constexpr std::string_view kEntries = "/api/queue/";
    if (path.substr(0, kEntries.size()) != kEntries) return {Route::NotFound, 0};
    std::string_view rest = path.substr(kEntries.size());
    bool move = false;
    constexpr std::string_view kMove = "/move";
    if (rest.size() > kMove.size() && rest.substr(rest.size() - kMove.size()) == kMove) {
        rest.remove_suffix(kMove.size());
        move = true;
    }
    // Entry ids are what the player numbered; anything else, a path above
    // all, is refused before it reaches the player.
    std::int64_t entry = 0;
    const bool digits =
        !rest.empty() && rest.size() <= 15 &&
        std::all_of(rest.begin(), rest.end(), [](char c) { return c >= '0' && c <= '9'; });
    if (digits)
        for (char c : rest) entry = entry * 10 + (c - '0');
    if (!digits || entry <= 0) return {Route::BadEntry, 0};
    if (move) return {method == "POST" ? Route::QueueMove : Route::WrongMethod, entry};
    return {method == "DELETE" ? Route::QueueRemove : Route::WrongMethod, entry};
}

bool hostRoute(Route route) {
    return route == Route::QueueRemove || route == Route::QueueMove || route == Route::Skip ||
           route == Route::Pause;
}

std::optional<std::string> queryValue(std::string_view query, std::string_view name) {
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        const std::size_t eq = pair.find('=');
        if (percentDecoded(pair.substr(0, eq)) == name)
            return eq == std::string_view::npos ? std::string()
                                                : percentDecoded(pair.substr(eq + 1));
        if (amp == std::string_view::npos) break;
        query.remove_prefix(amp + 1);
    }
    return std::nullopt;
}

BodyAction queueRequest(std::string_view body) {
    const std::optional<QJsonObject> o = bodyObject(body);
    if (!o) return {std::nullopt, "the body is not a JSON object"};
    const std::optional<std::int64_t> song = wholeNumber(o->value("song"), 1, kMaxId);
    if (!song) return {std::nullopt, "song must be a library id"};
    if (!o->value("singer").isString()) return {std::nullopt, "singer must be a name"};
    std::string singer = boundSingerName(o->value("singer").toString().toStdString());
    if (singer.empty()) return {std::nullopt, "singer must be a name"};
    PartyAction a;
    a.kind = PartyAction::Kind::Queue;
    a.song = *song;
    a.singer = std::move(singer);
    return {a, {}};
}

BodyAction moveRequest(std::int64_t entry, std::string_view body) {
    const std::optional<QJsonObject> o = bodyObject(body);
    if (!o) return {std::nullopt, "the body is not a JSON object"};
    const std::optional<std::int64_t> to = wholeNumber(o->value("to"), 0, 1000000);
    if (!to) return {std::nullopt, "to must be a place in the queue"};
    PartyAction a;
    a.kind = PartyAction::Kind::Move;
    a.entry = entry;
    a.to = int(*to);
    return {a, {}};
}

BodyAction pauseRequest(std::string_view body) {
    PartyAction a;
    a.kind = PartyAction::Kind::Pause;
    if (body.find_first_not_of(" \t\r\n") == std::string_view::npos) return {a, {}};
    const std::optional<QJsonObject> o = bodyObject(body);
    if (!o) return {std::nullopt, "the body is not a JSON object"};
    const QJsonValue paused = o->value("paused");
    if (paused.isBool())
        a.paused = paused.toBool();
    else if (!paused.isUndefined() && !paused.isNull())
        return {std::nullopt, "paused must be true or false"};
    return {a, {}};
}

std::string searchJson(const std::vector<SearchHit>& hits) {
    std::string songs = "[";
    for (const SearchHit& h : hits) {
        if (songs.size() > 1) songs += ',';
        // The path stays out: a guest learns nothing of the host's folders.
        songs += JsonObject()
                     .add("id", (long long)h.id)
                     .add("title", h.title)
                     .add("artist", h.artist)
                     .add("line", h.line)
                     .str();
    }
    songs += ']';
    return JsonObject().addRaw("songs", songs).str();
}

std::string errorJson(std::string_view text) {
    return JsonObject().add("error", text).str();
}

std::string refusalJson() {
    return errorJson("forbidden");
}

Answer outcomeAnswer(PartyAction::Kind kind, const PartyOutcome& outcome) {
    if (outcome.status == 200) {
        switch (kind) {
            case PartyAction::Kind::Queue:
                return {200, JsonObject().add("entry", (long long)outcome.entry).str()};
            case PartyAction::Kind::Pause:
                return {200, JsonObject().add("paused", outcome.paused).str()};
            default:
                return {200, JsonObject().add("ok", true).str()};
        }
    }
    // Only the answers a guest can act on pass through; anything else is the
    // player's own fault.
    const bool known = outcome.status == 400 || outcome.status == 404 || outcome.status == 409;
    const int status = known ? outcome.status : 500;
    std::string text =
        outcome.error.empty() || !known ? std::string("the player refused") : outcome.error;
    return {status, errorJson(text)};
}

}  // namespace orba::party

namespace orba {

std::string queueViewJson(const PartyQueueView& view) {
    std::string entries = "[";
    for (const QueueEntry& e : view.entries) {
        if (entries.size() > 1) entries += ',';
        entries += JsonObject()
                       .add("entry", (long long)e.id)
                       .add("song", (long long)e.songId)
                       .add("title", e.title)
                       .add("singer", e.singer)
                       .str();
    }
    entries += ']';
    JsonObject o;
    if (view.now)
        o.addRaw("now", JsonObject()
                            .add("song", (long long)view.now->songId)
                            .add("title", view.now->title)
                            .add("singer", view.now->singer)
                            .str());
    else
        o.addNull("now");
    return std::move(o.addRaw("entries", entries).add("paused", view.paused)).str();
}

}  // namespace orba
