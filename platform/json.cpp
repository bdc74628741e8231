#include "platform/json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace orba {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not valid:
// overlong forms, surrogates and code points above U+10FFFF are not.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    auto at = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    unsigned char c = at(0);
    if (c < 0x80) return 1;
    std::size_t n = 0;
    unsigned char low = 0x80, high = 0xBF;  // range of the second byte
    if (c >= 0xC2 && c <= 0xDF)
        n = 2;
    else if (c >= 0xE0 && c <= 0xEF)
        n = 3, low = c == 0xE0 ? 0xA0 : 0x80, high = c == 0xED ? 0x9F : 0xBF;
    else if (c >= 0xF0 && c <= 0xF4)
        n = 4, low = c == 0xF0 ? 0x90 : 0x80, high = c == 0xF4 ? 0x8F : 0xBF;
    if (n == 0 || i + n > s.size() || at(1) < low || at(1) > high) return 0;
    for (std::size_t k = 2; k < n; ++k)
        if ((at(k) & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

std::optional<int> parseMilliseconds(std::string_view text) {
    int ms = 0;
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, ms);
    if (text.empty() || ec != std::errc() || ptr != end || ms < 0) return std::nullopt;
    return ms;
}

std::string jsonString(std::string_view s) {
    std::string out = "\"";
    for (std::size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
            ++i;
        } else if (std::size_t n = utf8Length(s, i)) {
            out.append(s.substr(i, n));
            i += n;
        } else {
            out += "\xEF\xBF\xBD";
            ++i;
        }
    }
    out += '"';
    return out;
}

void JsonObject::key(std::string_view k) {
    if (!m_body.empty()) m_body += ", ";
    m_body += jsonString(k);
    m_body += ": ";
}

JsonObject& JsonObject::add(std::string_view k, std::string_view v) {
    key(k);
    m_body += jsonString(v);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, const char* v) {
    return add(k, std::string_view(v));
}

JsonObject& JsonObject::add(std::string_view k, long long v) {
    key(k);
    m_body += std::to_string(v);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, double v) {
    key(k);
    if (!std::isfinite(v)) {
        m_body += "null";
        return *this;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    m_body += buf;
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, bool v) {
    key(k);
    m_body += v ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addNull(std::string_view k) {
    key(k);
    m_body += "null";
    return *this;
}

std::string JsonObject::strOpenedAt(std::string_view k) {
    key(k);
    return "{" + m_body;
}

JsonObject& JsonObject::addRaw(std::string_view k, std::string_view json) {
    key(k);
    m_body += json;
    return *this;
}

}  // namespace orba
