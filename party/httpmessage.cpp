#include "party/httpmessage.h"

#include <algorithm>
#include <cctype>

namespace orba::party {

namespace {

std::string lower(std::string_view s) {
    std::string out(s);
    std::transform(out.begin(), out.end(), out.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return out;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
    return s;
}

bool tokenChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) ||
           std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

// Whether a comma-separated header value holds `word`, in any case.
bool listHolds(std::string_view value, std::string_view word) {
    while (!value.empty()) {
        const std::size_t comma = value.find(',');
        if (lower(trimmed(value.substr(0, comma))) == word) return true;
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return false;
}

HeadRead refused(int status) {
    HeadRead r;
    r.state = HeadRead::State::Refused;
    r.status = status;
    return r;
}

}  // namespace

const std::string* RequestHead::header(std::string_view name) const {
    for (const auto& [n, v] : headers)
        if (n == name) return &v;
    return nullptr;
}

HeadRead readHead(std::string_view bytes, std::size_t maxHeadBytes, std::int64_t maxBodyBytes) {
    const std::size_t end = bytes.find("\r\n\r\n");
    if (end == std::string_view::npos || end + 4 > maxHeadBytes)
        return bytes.size() >= maxHeadBytes ? refused(431) : HeadRead{};
    HeadRead r;
    r.headBytes = end + 4;
    std::string_view rest = bytes.substr(0, end + 2);

    const auto nextLine = [&rest]() {
        const std::size_t eol = rest.find("\r\n");
        const std::string_view line = rest.substr(0, eol);
        rest.remove_prefix(eol + 2);
        return line;
    };
    // Request line: METHOD SP TARGET SP HTTP/1.x
    const std::string_view line = nextLine();
    const std::size_t sp1 = line.find(' ');
    const std::size_t sp2 = line.rfind(' ');
    if (sp1 == std::string_view::npos || sp2 == sp1) return refused(400);
    const std::string_view method = line.substr(0, sp1);
    const std::string_view target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    const std::string_view version = line.substr(sp2 + 1);
    if (method.empty() || !std::all_of(method.begin(), method.end(), tokenChar))
        return refused(400);
    if (target.empty() || target.front() != '/' ||
        std::any_of(target.begin(), target.end(),
                    [](unsigned char c) { return c <= ' ' || c == 0x7F; }))
        return refused(400);
    if (version != "HTTP/1.1" && version != "HTTP/1.0")
        return refused(version.substr(0, 5) == "HTTP/" ? 505 : 400);
    r.head.method = std::string(method);
    const std::size_t q = target.find('?');
    r.head.path = std::string(target.substr(0, q));
    if (q != std::string_view::npos) r.head.query = std::string(target.substr(q + 1));
    r.head.keepAlive = version == "HTTP/1.1";

    std::optional<std::int64_t> length;
    while (!rest.empty()) {
        const std::string_view h = nextLine();
        const std::size_t colon = h.find(':');
        if (colon == std::string_view::npos || colon == 0) return refused(400);
        const std::string_view name = h.substr(0, colon);
        if (!std::all_of(name.begin(), name.end(), tokenChar)) return refused(400);
        const std::string_view value = trimmed(h.substr(colon + 1));
        std::string n = lower(name);
        if (n == "content-length") {
            // One plain number; a second one that differs is a smuggling attempt.
            if (value.empty() || value.size() > 12 ||
                !std::all_of(value.begin(), value.end(),
                             [](char c) { return c >= '0' && c <= '9'; }))
                return refused(400);
            const std::int64_t v = std::stoll(std::string(value));
            if (length && *length != v) return refused(400);
            length = v;
        } else if (n == "transfer-encoding") {
            return refused(501);
        } else if (n == "connection") {
            if (listHolds(value, "close")) r.head.keepAlive = false;
            if (listHolds(value, "keep-alive") && version == "HTTP/1.0") r.head.keepAlive = true;
            if (listHolds(value, "upgrade")) r.head.webSocketUpgrade = true;
        }
        r.head.headers.emplace_back(std::move(n), std::string(value));
    }
    const std::string* upgrade = r.head.header("upgrade");
    r.head.webSocketUpgrade =
        r.head.webSocketUpgrade && upgrade && listHolds(*upgrade, "websocket");
    r.head.contentLength = length.value_or(0);
    if (r.head.contentLength > maxBodyBytes) return refused(413);
    r.state = HeadRead::State::Complete;
    return r;
}

std::string_view reasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 409:
            return "Conflict";
        case 413:
            return "Payload Too Large";
        case 429:
            return "Too Many Requests";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 501:
            return "Not Implemented";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Error";
    }
}

std::string httpResponse(int status, std::string_view contentType, std::string_view body,
                         bool keepAlive, std::string_view extraHeaders) {
    std::string out;
    out.reserve(body.size() + 256 + extraHeaders.size());
    out += "HTTP/1.1 " + std::to_string(status) + ' ';
    out += reasonPhrase(status);
    out += "\r\nContent-Type: ";
    out += contentType;
    out += "\r\nContent-Length: " + std::to_string(body.size());
    // The token travels in the page's address: no other site may learn it.
    out +=
        "\r\nCache-Control: no-store\r\nX-Content-Type-Options: nosniff\r\n"
        "Referrer-Policy: no-referrer\r\n";
    out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    out += extraHeaders;
    out += "\r\n";
    out += body;
    return out;
}

}  // namespace orba::party
