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

namespace {

// Escapes `s` into `out` without the quotes. Runs of bytes that go out as
// they are (most of any text) are appended whole.
void appendEscaped(std::string& out, std::string_view s) {
    std::size_t i = 0;
    while (i < s.size()) {
        std::size_t run = i;
        while (run < s.size()) {
            const auto c = static_cast<unsigned char>(s[run]);
            if (c < 0x80) {
                if (c < 0x20 || c == 0x7F || c == '"' || c == '\\') break;
                ++run;
            } else if (std::size_t n = utf8Length(s, run)) {
                run += n;
            } else {
                break;
            }
        }
        out.append(s.data() + i, run - i);
        i = run;
        if (i == s.size()) break;
        const auto c = static_cast<unsigned char>(s[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += "\xEF\xBF\xBD";
        }
        ++i;
    }
}

// Where to end a piece of at most `limit` bytes so that no UTF-8 sequence
// is cut: a piece must read as the same characters as the whole text does.
std::size_t pieceEnd(std::string_view s, std::size_t limit) {
    if (s.size() <= limit) return s.size();
    auto continuation = [&](std::size_t k) {
        return (static_cast<unsigned char>(s[k]) & 0xC0) == 0x80;
    };
    // Back to the first byte of the sequence the cut falls into. A sequence
    // is at most four bytes: after four continuation bytes in a row, no
    // valid one can reach over the cut.
    for (std::size_t back = 0; back < 4; ++back)
        if (!continuation(limit - back)) return limit - back;
    return limit;
}

void appendNumber(std::string& out, long long v) {
    char buf[24];
    const auto r = std::to_chars(buf, buf + sizeof buf, v);
    out.append(buf, r.ptr);
}

constexpr std::size_t kStreamPiece = 64 * 1024;

}  // namespace

std::string jsonString(std::string_view s) {
    std::string out;
    appendJsonString(out, s);
    return out;
}

void appendJsonString(std::string& out, std::string_view s) {
    out.reserve(out.size() + s.size() + 2);
    out += '"';
    appendEscaped(out, s);
    out += '"';
}

void JsonObject::key(std::string_view k) {
    if (m_text.size() > 1) m_text += ", ";
    appendJsonString(m_text, k);
    m_text += ": ";
}

JsonObject& JsonObject::add(std::string_view k, std::string_view v) {
    key(k);
    appendJsonString(m_text, v);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, const char* v) {
    return add(k, std::string_view(v));
}

JsonObject& JsonObject::add(std::string_view k, long long v) {
    key(k);
    appendNumber(m_text, v);
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, double v) {
    key(k);
    if (!std::isfinite(v)) {
        m_text += "null";
        return *this;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    m_text += buf;
    return *this;
}

JsonObject& JsonObject::add(std::string_view k, bool v) {
    key(k);
    m_text += v ? "true" : "false";
    return *this;
}

JsonObject& JsonObject::addNull(std::string_view k) {
    key(k);
    m_text += "null";
    return *this;
}

std::string JsonObject::strOpenedAt(std::string_view k) {
    key(k);
    return m_text;
}

JsonObject& JsonObject::addRaw(std::string_view k, std::string_view json) {
    key(k);
    m_text += json;
    return *this;
}

}  // namespace orba

namespace orba {

JsonObjectStream::JsonObjectStream(std::FILE* out) : m_out(out), m_buffer("{") {}

JsonObjectStream::~JsonObjectStream() {
    close();
}

void JsonObjectStream::key(std::string_view k) {
    if (!m_first) m_buffer += ", ";
    m_first = false;
    appendJsonString(m_buffer, k);
    m_buffer += ": ";
}

JsonObjectStream& JsonObjectStream::add(std::string_view k, std::string_view v) {
    key(k);
    m_buffer += '"';
    while (!v.empty()) {
        const std::size_t n = pieceEnd(v, kStreamPiece);
        appendEscaped(m_buffer, v.substr(0, n));
        v.remove_prefix(n);
        flushIfFull();
    }
    m_buffer += '"';
    return *this;
}

JsonObjectStream& JsonObjectStream::addPieces(
    std::string_view k, const std::function<bool(std::string& piece)>& nextPiece) {
    key(k);
    m_buffer += '"';
    std::string piece;
    while (nextPiece(piece)) {
        appendEscaped(m_buffer, piece);
        piece.clear();
        flushIfFull();
    }
    m_buffer += '"';
    return *this;
}

JsonObjectStream& JsonObjectStream::add(std::string_view k, long long v) {
    key(k);
    appendNumber(m_buffer, v);
    return *this;
}

JsonObjectStream& JsonObjectStream::addNull(std::string_view k) {
    key(k);
    m_buffer += "null";
    return *this;
}

JsonObjectStream& JsonObjectStream::addRaw(std::string_view k, std::string_view json) {
    key(k);
    m_buffer += json;
    flushIfFull();
    return *this;
}

bool JsonObjectStream::close() {
    if (!m_closed) {
        m_closed = true;
        m_buffer += '}';
        flush();
    }
    return !m_failed;
}

void JsonObjectStream::flushIfFull() {
    if (m_buffer.size() >= kStreamPiece) flush();
}

void JsonObjectStream::flush() {
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_out) != m_buffer.size()) m_failed = true;
    m_buffer.clear();
}

}  // namespace orba
