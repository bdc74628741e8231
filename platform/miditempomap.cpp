#include "platform/miditempomap.h"

#include "platform/files.h"

#include <algorithm>
#include <climits>

namespace orba {

namespace {

constexpr std::uint32_t kDefaultTempo = 500000;

std::uint32_t be32(std::string_view s, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

std::uint32_t be16(std::string_view s, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return b(0) << 8 | b(1);
}

std::uint32_t le32(std::string_view s, std::size_t at) {
    auto b = [&](std::size_t i) {
        return static_cast<std::uint32_t>(static_cast<unsigned char>(s[at + i]));
    };
    return b(3) << 24 | b(2) << 16 | b(1) << 8 | b(0);
}

// Reads events from one track chunk and stops quietly at the first byte that
// does not make sense, as a player would.
class TrackReader {
public:
    TrackReader(std::string_view data, int track, std::vector<MidiTextEvent>* texts,
                std::vector<MidiNoteEvent>* notes)
        : m_data(data), m_track(track), m_texts(texts), m_notes(notes) {}

    // Returns the tick of the last whole event.
    std::uint64_t read(std::vector<MidiTempoChange>& tempos) {
        std::uint64_t tick = 0;
        std::uint64_t lastTick = 0;
        unsigned running = 0;
        while (m_pos < m_data.size()) {
            std::uint32_t delta = 0;
            if (!readVarLen(delta)) break;
            tick += delta;
            unsigned status = 0;
            if (!peek(status)) break;
            if (status & 0x80) {
                ++m_pos;
            } else if (running) {
                status = running;
            } else {
                break;
            }
            if (status == 0xFF) {
                running = 0;
                unsigned type = 0;
                std::uint32_t len = 0;
                if (!take(type) || !readVarLen(len) || len > m_data.size() - m_pos) break;
                if (type == 0x51 && len >= 3) {
                    std::uint32_t t = static_cast<unsigned char>(m_data[m_pos]) << 16 |
                                      static_cast<unsigned char>(m_data[m_pos + 1]) << 8 |
                                      static_cast<unsigned char>(m_data[m_pos + 2]);
                    // A tempo of zero would stop time; players ignore it.
                    if (t > 0)
                        tempos.push_back(
                            {static_cast<std::uint32_t>(std::min<std::uint64_t>(tick, UINT32_MAX)),
                             t});
                }
                if ((type == 0x01 || type == 0x05) && m_texts)
                    m_texts->push_back(
                        {static_cast<std::uint32_t>(std::min<std::uint64_t>(tick, UINT32_MAX)),
                         m_track, static_cast<int>(type), m_data.substr(m_pos, len)});
                m_pos += len;
                lastTick = tick;
                if (type == 0x2F) break;
            } else if (status == 0xF0 || status == 0xF7) {
                running = 0;
                std::uint32_t len = 0;
                if (!readVarLen(len) || len > m_data.size() - m_pos) break;
                m_pos += len;
                lastTick = tick;
            } else if (status >= 0xF0) {
                break;  // system common and real-time bytes do not belong in a file
            } else {
                running = status;
                std::size_t dataBytes = (status & 0xE0) == 0xC0 ? 1 : 2;
                if (dataBytes > m_data.size() - m_pos) break;
                const unsigned kind = status & 0xF0;
                if (m_notes && (kind == 0x90 || kind == 0x80)) {
                    const auto key = static_cast<std::uint8_t>(m_data[m_pos] & 0x7F);
                    const bool on = kind == 0x90 && (m_data[m_pos + 1] & 0x7F) != 0;
                    m_notes->push_back(
                        {static_cast<std::uint32_t>(std::min<std::uint64_t>(tick, UINT32_MAX)),
                         static_cast<std::uint8_t>(status & 0x0F), key, on});
                }
                m_pos += dataBytes;
                lastTick = tick;
            }
        }
        return lastTick;
    }

private:
    bool peek(unsigned& c) const {
        if (m_pos >= m_data.size()) return false;
        c = static_cast<unsigned char>(m_data[m_pos]);
        return true;
    }
    bool take(unsigned& c) {
        if (!peek(c)) return false;
        ++m_pos;
        return true;
    }
    // At most four bytes, as the format allows.
    bool readVarLen(std::uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            unsigned c = 0;
            if (!take(c)) return false;
            value = value << 7 | (c & 0x7F);
            if (!(c & 0x80)) return true;
        }
        return false;
    }

    std::string_view m_data;
    std::size_t m_pos = 0;
    int m_track = 0;
    std::vector<MidiTextEvent>* m_texts = nullptr;
    std::vector<MidiNoteEvent>* m_notes = nullptr;
};

}  // namespace

bool looksLikeMidi(std::string_view head) {
    if (head.substr(0, 4) == "MThd") return true;
    return head.size() >= 12 && head.substr(0, 4) == "RIFF" && head.substr(8, 4) == "RMID";
}

bool playsAsMidi(const std::string& file) {
    return looksLikeMidi(readFileStart(file, 12));
}

std::string_view standardMidiData(std::string_view bytes) {
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "RMID")
        return bytes;
    std::size_t pos = 12;
    while (bytes.size() - pos >= 8) {
        std::uint32_t len = le32(bytes, pos + 4);
        std::size_t avail = bytes.size() - pos - 8;
        if (bytes.substr(pos, 4) == "data")
            return bytes.substr(pos + 8, std::min<std::size_t>(len, avail));
        if (len > avail) break;
        // The pad byte after an odd-length chunk may be missing at the end.
        pos += 8 + len;
        if (len & 1 && pos < bytes.size()) ++pos;
    }
    return {};
}

std::optional<MidiTempoMap> parseMidiTempoMap(std::string_view bytes,
                                              std::vector<MidiTextEvent>* texts,
                                              std::vector<MidiNoteEvent>* notes) {
    std::string_view smf = standardMidiData(bytes);
    if (smf.size() < 14 || smf.substr(0, 4) != "MThd") return std::nullopt;
    std::uint32_t headerLength = be32(smf, 4);
    if (headerLength < 6 || headerLength > smf.size() - 8) return std::nullopt;
    std::uint32_t format = be16(smf, 8);
    std::uint32_t division = be16(smf, 12);
    if (format > 2 || division == 0 || (division & 0x8000)) return std::nullopt;

    MidiTempoMap map;
    map.division = division;
    std::uint64_t endTick = 0;
    int tracks = 0;
    std::size_t pos = 8 + headerLength;
    while (smf.size() - pos >= 8) {
        std::uint32_t len = be32(smf, pos + 4);
        std::size_t avail = smf.size() - pos - 8;
        std::size_t take = std::min<std::size_t>(len, avail);
        if (smf.substr(pos, 4) == "MTrk") {
            endTick = std::max(
                endTick,
                TrackReader(smf.substr(pos + 8, take), tracks, texts, notes).read(map.tempoChanges));
            ++tracks;
        }
        pos += 8 + take;
    }
    if (tracks == 0) return std::nullopt;
    if (texts)
        std::stable_sort(
            texts->begin(), texts->end(),
            [](const MidiTextEvent& a, const MidiTextEvent& b) { return a.tick < b.tick; });
    if (notes)
        std::stable_sort(
            notes->begin(), notes->end(),
            [](const MidiNoteEvent& a, const MidiNoteEvent& b) { return a.tick < b.tick; });
    map.endTick = static_cast<std::uint32_t>(std::min<std::uint64_t>(endTick, UINT32_MAX));
    std::stable_sort(
        map.tempoChanges.begin(), map.tempoChanges.end(),
        [](const MidiTempoChange& a, const MidiTempoChange& b) { return a.tick < b.tick; });
    // Summed in the order a walk through the changes sums them, so that a
    // time is the same to the last bit as it always was.
    double micros = 0;
    std::uint32_t at = 0;
    std::uint32_t tempo = kDefaultTempo;
    for (MidiTempoChange& c : map.tempoChanges) {
        micros += double(c.tick - at) * tempo / division;
        c.micros = micros;
        at = c.tick;
        tempo = c.microsPerQuarter;
    }
    return map;
}

double MidiTempoMap::msAtTick(std::uint32_t tick) const {
    if (division == 0) return 0;
    // The last change before the tick sets its tempo; one at the tick itself
    // only counts from there on.
    const auto after =
        std::lower_bound(tempoChanges.begin(), tempoChanges.end(), tick,
                         [](const MidiTempoChange& c, std::uint32_t t) { return c.tick < t; });
    if (after == tempoChanges.begin()) return double(tick) * kDefaultTempo / division / 1000.0;
    const MidiTempoChange& c = *(after - 1);
    return (c.micros + double(tick - c.tick) * c.microsPerQuarter / division) / 1000.0;
}

std::uint32_t MidiTempoMap::tickAtMs(double ms) const {
    if (division == 0 || ms <= 0) return 0;
    const double micros = ms * 1000.0;
    // The last change that has begun by then.
    const auto after =
        std::upper_bound(tempoChanges.begin(), tempoChanges.end(), micros,
                         [](double m, const MidiTempoChange& c) { return c.micros > m; });
    double spent = 0;
    std::uint32_t at = 0;
    std::uint32_t tempo = kDefaultTempo;
    if (after != tempoChanges.begin()) {
        const MidiTempoChange& c = *(after - 1);
        spent = c.micros;
        at = c.tick;
        tempo = c.microsPerQuarter;
    }
    double ticks = at + (micros - spent) * division / tempo;
    return static_cast<std::uint32_t>(std::min<double>(ticks, UINT32_MAX));
}

int MidiTempoMap::lengthMs() const {
    return static_cast<int>(std::min<double>(msAtTick(endTick), INT_MAX));
}

}  // namespace orba
