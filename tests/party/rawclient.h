// A client of the party server that speaks bytes: one blocking socket from
// a chosen loopback address (so that per-address limits apply as they do to
// phones in a room), HTTP requests written by hand, answers read with a
// deadline, and the little of WebSocket framing the page's socket needs.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>

namespace orba::test {

struct HttpAnswer {
    int status = 0;  // 0: the connection closed or the deadline passed first
    std::map<std::string, std::string> headers;  // names in lower case
    std::string body;
};

class RawClient {
public:
    RawClient(int port, const std::string& from = "127.0.0.1") {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (m_fd < 0) return;
        int one = 1;
        ::setsockopt(m_fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        sockaddr_in local{};
        local.sin_family = AF_INET;
        ::inet_pton(AF_INET, from.c_str(), &local.sin_addr);
        if (::bind(m_fd, reinterpret_cast<sockaddr*>(&local), sizeof local) != 0) return;
        sockaddr_in server{};
        server.sin_family = AF_INET;
        server.sin_port = htons(std::uint16_t(port));
        ::inet_pton(AF_INET, "127.0.0.1", &server.sin_addr);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr*>(&server), sizeof server) == 0;
    }
    ~RawClient() {
        if (m_fd >= 0) ::close(m_fd);
    }
    RawClient(const RawClient&) = delete;
    RawClient& operator=(const RawClient&) = delete;

    bool connected() const { return m_connected; }
    // Whether the server has closed the connection, as far as read so far.
    bool closed() const { return m_eof; }
    int fd() const { return m_fd; }

    bool send(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t n = ::send(m_fd, bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n <= 0) return false;
            bytes.remove_prefix(std::size_t(n));
        }
        return true;
    }

    // One answer: its head, then as many body bytes as it announces.
    HttpAnswer read(int timeoutMs = 20000) {
        HttpAnswer a;
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        std::size_t end;
        while ((end = m_buffer.find("\r\n\r\n")) == std::string::npos)
            if (!fill(deadline)) return a;
        const std::string head = m_buffer.substr(0, end + 2);
        m_buffer.erase(0, end + 4);
        a.status = std::atoi(head.c_str() + head.find(' ') + 1);
        std::size_t pos = head.find("\r\n") + 2;
        while (pos < head.size()) {
            const std::size_t eol = head.find("\r\n", pos);
            const std::string line = head.substr(pos, eol - pos);
            const std::size_t colon = line.find(':');
            std::string name = line.substr(0, colon);
            for (char& c : name) c = char(std::tolower(static_cast<unsigned char>(c)));
            a.headers[name] = line.substr(line.find_first_not_of(' ', colon + 1));
            pos = eol + 2;
        }
        const std::size_t length =
            a.headers.count("content-length") ? std::stoul(a.headers["content-length"]) : 0;
        while (m_buffer.size() < length)
            if (!fill(deadline)) return HttpAnswer{};
        a.body = m_buffer.substr(0, length);
        m_buffer.erase(0, length);
        return a;
    }

    HttpAnswer request(const std::string& method, const std::string& target,
                       const std::string& headers = {}, const std::string& body = {}) {
        std::string r = method + " " + target + " HTTP/1.1\r\nHost: party\r\n" + headers;
        if (!body.empty() || method == "POST")
            r +=
                "Content-Type: application/json\r\nContent-Length: " + std::to_string(body.size()) +
                "\r\n";
        r += "\r\n" + body;
        if (!send(r)) return {};
        return read();
    }

    // True when the server closes the connection before the deadline.
    bool closedWithin(int timeoutMs) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        while (fill(deadline)) m_buffer.clear();
        return m_eof;
    }
    // Whether anything arrived (or the connection closed) by now.
    bool answered() {
        pollfd p{m_fd, POLLIN, 0};
        return !m_buffer.empty() || ::poll(&p, 1, 0) > 0;
    }

    // The upgrade to the queue's WebSocket; true on 101.
    bool openWebSocket(const std::string& token) {
        send("GET /ws?t=" + token +
             " HTTP/1.1\r\nHost: party\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
             "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n\r\n");
        return read().status == 101;
    }
    // The next text message; none when the connection closed or the deadline
    // passed.
    std::optional<std::string> readMessage(int timeoutMs = 20000) {
        const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
        for (;;) {
            while (m_buffer.size() < 2)
                if (!fill(deadline)) return std::nullopt;
            const int opcode = static_cast<unsigned char>(m_buffer[0]) & 0x0F;
            std::uint64_t length = static_cast<unsigned char>(m_buffer[1]) & 0x7F;
            std::size_t head = 2;
            const std::size_t extra = length == 126 ? 2 : length == 127 ? 8 : 0;
            while (m_buffer.size() < head + extra)
                if (!fill(deadline)) return std::nullopt;
            if (extra) {
                length = 0;
                for (std::size_t i = 0; i < extra; ++i)
                    length = length << 8 | static_cast<unsigned char>(m_buffer[head + i]);
                head += extra;
            }
            while (m_buffer.size() < head + length)
                if (!fill(deadline)) return std::nullopt;
            std::string payload = m_buffer.substr(head, length);
            m_buffer.erase(0, head + length);
            if (opcode == 1) return payload;
            if (opcode == 8) return std::nullopt;
        }
    }
    // A masked client frame, as a browser sends one.
    bool sendMessage(const std::string& text) {
        std::string frame;
        frame += char(0x81);
        if (text.size() < 126) {
            frame += char(0x80 | text.size());
        } else {
            frame += char(0x80 | 126);
            frame += char(text.size() >> 8);
            frame += char(text.size() & 0xFF);
        }
        const char mask[4] = {0x12, 0x34, 0x56, 0x78};
        frame.append(mask, 4);
        for (std::size_t i = 0; i < text.size(); ++i) frame += char(text[i] ^ mask[i % 4]);
        return send(frame);
    }

private:
    using Clock = std::chrono::steady_clock;

    bool fill(Clock::time_point deadline) {
        if (m_eof || m_fd < 0) return false;
        // A deadline already passed still looks once at what has arrived.
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, int(std::max<std::int64_t>(0, left.count()))) <= 0) return false;
        char chunk[16384];
        const ssize_t n = ::recv(m_fd, chunk, sizeof chunk, 0);
        if (n <= 0) {
            m_eof = true;
            return false;
        }
        m_buffer.append(chunk, std::size_t(n));
        return true;
    }

    int m_fd = -1;
    bool m_connected = false;
    bool m_eof = false;
    std::string m_buffer;
};

}  // namespace orba::test
