// Writes small Standard MIDI Files for tests and benchmarks: notes and tempo
// changes on any number of tracks, each track ending at its last event or at
// a chosen tick.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace orba::test {

class MidiWriter {
public:
    explicit MidiWriter(std::uint16_t division, int trackCount = 1)
        : m_division(division), m_tracks(trackCount) {}

    MidiWriter& tempo(int track, std::uint32_t tick, std::uint32_t microsPerQuarter) {
        add(track, tick,
            {'\xFF', '\x51', '\x03', char(microsPerQuarter >> 16), char(microsPerQuarter >> 8),
             char(microsPerQuarter)});
        return *this;
    }
    MidiWriter& program(int track, std::uint32_t tick, int channel, int number) {
        add(track, tick, {char(0xC0 | channel), char(number)});
        return *this;
    }
    MidiWriter& note(int track, std::uint32_t tick, std::uint32_t ticks, int key, int channel = 0) {
        add(track, tick, {char(0x90 | channel), char(key), char(100)});
        add(track, tick + ticks, {char(0x80 | channel), char(key), char(0)});
        return *this;
    }
    // A meta event holding text: 0x01 text, 0x05 lyric (lengths below 128).
    MidiWriter& text(int track, std::uint32_t tick, int type, const std::string& bytes) {
        add(track, tick, std::string{'\xFF', char(type), char(bytes.size())} + bytes);
        return *this;
    }
    MidiWriter& endAt(int track, std::uint32_t tick) {
        m_tracks[track].end = std::max(m_tracks[track].end, tick);
        return *this;
    }

    std::string bytes(int format = 1) const {
        std::string out = "MThd";
        be32(out, 6);
        be16(out, format);
        be16(out, static_cast<std::uint32_t>(m_tracks.size()));
        be16(out, m_division);
        for (const Track& t : m_tracks) {
            std::vector<Event> events = t.events;
            std::stable_sort(events.begin(), events.end(),
                             [](const Event& a, const Event& b) { return a.tick < b.tick; });
            std::string body;
            std::uint32_t at = 0;
            for (const Event& e : events) {
                varLen(body, e.tick - at);
                body += e.bytes;
                at = e.tick;
            }
            varLen(body, std::max(t.end, at) - at);
            body += std::string("\xFF\x2F\x00", 3);
            out += "MTrk";
            be32(out, static_cast<std::uint32_t>(body.size()));
            out += body;
        }
        return out;
    }

private:
    struct Event {
        std::uint32_t tick;
        std::string bytes;
    };
    struct Track {
        std::vector<Event> events;
        std::uint32_t end = 0;
    };

    void add(int track, std::uint32_t tick, std::string bytes) {
        m_tracks[track].events.push_back({tick, std::move(bytes)});
    }
    static void be32(std::string& s, std::uint32_t v) {
        for (int shift : {24, 16, 8, 0}) s += char(v >> shift);
    }
    static void be16(std::string& s, std::uint32_t v) {
        s += char(v >> 8);
        s += char(v);
    }
    static void varLen(std::string& s, std::uint32_t v) {
        char buf[5];
        int n = 0;
        buf[n++] = char(v & 0x7F);
        while (v >>= 7) buf[n++] = char(0x80 | (v & 0x7F));
        while (n) s += buf[--n];
    }

    std::uint16_t m_division;
    std::vector<Track> m_tracks;
};

}  // namespace orba::test
