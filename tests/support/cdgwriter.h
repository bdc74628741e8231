// Writes CD+G graphics streams for tests, benchmarks and the demo: a packet
// is 24 bytes (command, instruction, two parity bytes, 16 data bytes, four
// parity bytes) and 300 of them make a second, so a packet's index is its
// time: index / 300 s. Packets not written are empty (all zero), which a
// reader passes over.
//
// The screen is 300 x 216 pixels, 50 x 18 tiles of 6 x 12; the visible
// area is the 288 x 192 inside a border of one tile (columns 1..48, rows
// 1..16). Colours are 4 bits a channel, given here as 0xRGB.
#pragma once

#include <array>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace orba::test {

class CdgWriter {
public:
    static constexpr int kPacketBytes = 24;
    static constexpr int kPacketsPerSecond = 300;
    static constexpr int kTileWidth = 6;
    static constexpr int kTileHeight = 12;

    // The packet index at or after `ms`.
    static std::size_t packetAt(int ms) {
        return static_cast<std::size_t>((static_cast<std::int64_t>(ms) * kPacketsPerSecond + 999) /
                                        1000);
    }

    // Fills the whole screen (border included) with colour index `colour`.
    CdgWriter& memoryPreset(std::size_t packet, int colour, int repeat = 0) {
        Packet& p = at(packet, kMemoryPreset);
        p[4] = std::uint8_t(colour & 0x0F);
        p[5] = std::uint8_t(repeat & 0x0F);
        return *this;
    }
    // Fills the border around the visible area.
    CdgWriter& borderPreset(std::size_t packet, int colour) {
        at(packet, kBorderPreset)[4] = std::uint8_t(colour & 0x0F);
        return *this;
    }
    // Colours 0..7 (`high` false) or 8..15: eight 0xRGB values.
    CdgWriter& colourTable(std::size_t packet, bool high, const std::array<int, 8>& rgb) {
        Packet& p = at(packet, high ? kLoadColoursHigh : kLoadColoursLow);
        for (int i = 0; i < 8; ++i) {
            const int r = (rgb[i] >> 8) & 0xF, g = (rgb[i] >> 4) & 0xF, b = rgb[i] & 0xF;
            p[4 + 2 * i] = std::uint8_t((r << 2) | (g >> 2));
            p[5 + 2 * i] = std::uint8_t(((g & 3) << 4) | b);
        }
        return *this;
    }
    // One 6 x 12 tile at tile row `row` (0..17), column `column` (0..49):
    // each of `rows` gives a pixel row, its bit 5 the leftmost pixel; a set
    // bit takes `on`, a clear one `off`. XOR tiles XOR those colour indices
    // into what is there.
    CdgWriter& tile(std::size_t packet, int row, int column, int off, int on,
                    const std::array<std::uint8_t, 12>& rows, bool xorMode = false) {
        Packet& p = at(packet, xorMode ? kTileXor : kTile);
        p[4] = std::uint8_t(off & 0x0F);
        p[5] = std::uint8_t(on & 0x0F);
        p[6] = std::uint8_t(row & 0x1F);
        p[7] = std::uint8_t(column & 0x3F);
        for (int i = 0; i < 12; ++i) p[8 + i] = std::uint8_t(rows[i] & 0x3F);
        return *this;
    }
    // A tile of one colour.
    CdgWriter& solidTile(std::size_t packet, int row, int column, int colour,
                         bool xorMode = false) {
        std::array<std::uint8_t, 12> rows{};
        rows.fill(0x3F);
        return tile(packet, row, column, 0, colour, rows, xorMode);
    }
    // Any graphics instruction, for instructions the writer has no name for.
    CdgWriter& raw(std::size_t packet, int instruction, const std::array<std::uint8_t, 16>& data) {
        Packet& p = at(packet, instruction);
        for (int i = 0; i < 16; ++i) p[4 + i] = data[i];
        return *this;
    }
    // The stream runs at least this many packets (empty ones at its end).
    CdgWriter& endAt(std::size_t packets) {
        if (m_packets.size() < packets) m_packets.resize(packets, Packet{});
        return *this;
    }

    std::size_t packetCount() const { return m_packets.size(); }

    std::string bytes() const {
        std::string out;
        out.reserve(m_packets.size() * kPacketBytes);
        for (const Packet& p : m_packets)
            out.append(reinterpret_cast<const char*>(p.data()), p.size());
        return out;
    }
    bool write(const std::string& path) const {
        std::ofstream f(path, std::ios::binary | std::ios::trunc);
        const std::string b = bytes();
        f.write(b.data(), static_cast<std::streamsize>(b.size()));
        return bool(f);
    }

private:
    using Packet = std::array<std::uint8_t, kPacketBytes>;
    static constexpr std::uint8_t kGraphics = 0x09;
    static constexpr int kMemoryPreset = 1;
    static constexpr int kBorderPreset = 2;
    static constexpr int kTile = 6;
    static constexpr int kLoadColoursLow = 30;
    static constexpr int kLoadColoursHigh = 31;
    static constexpr int kTileXor = 38;

    // The packet at `index`, made a graphics packet of `instruction`; a
    // later write to the same index replaces an earlier one.
    Packet& at(std::size_t index, int instruction) {
        endAt(index + 1);
        Packet& p = m_packets[index];
        p.fill(0);
        p[0] = kGraphics;
        p[1] = std::uint8_t(instruction & 0x3F);
        return p;
    }

    std::vector<Packet> m_packets;
};

}  // namespace orba::test
