#include "platform/json.h"

#include <cmath>
#include <cstdio>

namespace orba {

namespace {

// Length of the valid UTF-8 sequence at s[i], or 0 when it is not valid.
std::size_t utf8Length(std::string_view s, std::size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    std::size_t n = c < 0x80           ? 1
                    : (c >> 5) == 0x6  ? 2
                    : (c >> 4) == 0xE  ? 3
                    : (c >> 3) == 0x1E ? 4
                                       : 0;
    if (n == 0 || (n == 2 && c < 0xC2) || i + n > s.size()) return 0;
    for (std::size_t k = 1; k < n; ++k)
        if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return 0;
    return n;
}

}  // namespace

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

JsonObject& JsonObject::addRaw(std::string_view k, std::string_view json) {
    key(k);
    m_body += json;
    return *this;
}

}  // namespace orba
