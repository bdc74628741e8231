// Writes the CD+G example: the demo song's lines in romaji as CD+G graphics,
// each shown as its sung line begins and wiped in yellow over its time,
// with the next line below it. The line times come from the demo's LRC
// file, so the graphics follow the song as its lyrics do.
//
//   orba_makecdg examples/asanouta.lrc examples/cdg-asanouta.cdg
#include <cstdio>
#include <fstream>
#include <map>
#include <regex>
#include <string>
#include <vector>

#include "tests/support/cdgwriter.h"

namespace {

using orba::test::CdgWriter;

// Our own lines, in the order of the LRC file's lines; the first is the
// title line, which the LRC file gives two times (intro and outro).
const char* const kRomaji[] = {
    "ASA NO UTA",
    "MADO O AKEREBA AOI SORA",
    "KOTORI NO UTA GA KIKOERU YO",
    "ATARASHII KUTSU O HAITARA",
    "MACHI GA NIKONIKO TE O FURU YO",
    "UTAOU RARARA DOKOMADEMO",
    "HIBIKE BOKURA NO AIKOTOBA",
    "KUMO O KOETE NIJI O KOETE",
    "ASHITA E TODOKE KONO MERODII",
};

// A 5 x 7 capital font, one row a number, its bit 4 the leftmost pixel.
const std::map<char, std::array<int, 7>> kFont = {
    {'A', {14, 17, 17, 31, 17, 17, 17}}, {'B', {30, 17, 17, 30, 17, 17, 30}},
    {'C', {14, 17, 16, 16, 16, 17, 14}}, {'D', {30, 17, 17, 17, 17, 17, 30}},
    {'E', {31, 16, 16, 30, 16, 16, 31}}, {'F', {31, 16, 16, 30, 16, 16, 16}},
    {'G', {14, 17, 16, 23, 17, 17, 15}}, {'H', {17, 17, 17, 31, 17, 17, 17}},
    {'I', {14, 4, 4, 4, 4, 4, 14}},      {'J', {7, 2, 2, 2, 2, 18, 12}},
    {'K', {17, 18, 20, 24, 20, 18, 17}}, {'L', {16, 16, 16, 16, 16, 16, 31}},
    {'M', {17, 27, 21, 21, 17, 17, 17}}, {'N', {17, 17, 25, 21, 19, 17, 17}},
    {'O', {14, 17, 17, 17, 17, 17, 14}}, {'P', {30, 17, 17, 30, 16, 16, 16}},
    {'R', {30, 17, 17, 30, 20, 18, 17}}, {'S', {15, 16, 16, 14, 1, 1, 30}},
    {'T', {31, 4, 4, 4, 4, 4, 4}},       {'U', {17, 17, 17, 17, 17, 17, 14}},
    {'Y', {17, 17, 10, 4, 4, 4, 4}},
};

enum Colour { kBack = 0, kBorder = 1, kText = 2, kSung = 3, kNext = 4, kBand1 = 5, kBand2 = 6 };
constexpr std::array<int, 8> kColours{0x113, 0x236, 0xFFF, 0xFC2, 0x889, 0xE48, 0x4AE, 0x000};

// Packets are handed out in order: an instruction asked for at a time that
// is already taken goes into the next free packet.
class Timeline {
public:
    explicit Timeline(CdgWriter& w) : m_w(w) {}
    std::size_t at(int ms) {
        m_next = std::max(m_next, CdgWriter::packetAt(ms));
        return m_next++;
    }
    CdgWriter& w() { return m_w; }

private:
    CdgWriter& m_w;
    std::size_t m_next = 0;
};

std::array<std::uint8_t, 12> glyphRows(char c) {
    std::array<std::uint8_t, 12> rows{};
    const auto g = kFont.find(c);
    if (g == kFont.end()) return rows;
    for (int i = 0; i < 7; ++i) rows[3 + i] = std::uint8_t(g->second[i] << 1);
    return rows;
}

int firstColumn(const std::string& text) {
    return 1 + (48 - int(text.size())) / 2;
}

void drawLine(Timeline& t, int ms, int row, const std::string& text, int colour) {
    for (std::size_t i = 0; i < text.size(); ++i)
        t.w().tile(t.at(ms), row, firstColumn(text) + int(i), kBack, colour, glyphRows(text[i]));
}

void clearRow(Timeline& t, int ms, int row) {
    for (int c = 1; c < 49; ++c) t.w().solidTile(t.at(ms), row, c, kBack);
}

void drawBands(Timeline& t, int ms) {
    for (int c = 1; c < 49; ++c) {
        t.w().solidTile(t.at(ms), 2, c, c % 2 ? kBand1 : kBand2);
        t.w().solidTile(t.at(ms), 15, c, c % 2 ? kBand2 : kBand1);
    }
}

// Sung letters turn from the text colour to the sung one: an XOR of the two
// on the letter's own pixels.
void wipeLine(Timeline& t, int from, int to, int row, const std::string& text) {
    const int span = std::max(1, to - from);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == ' ') continue;
        const int ms = from + int(span * i / text.size());
        t.w().tile(t.at(ms), row, firstColumn(text) + int(i), 0, kText ^ kSung, glyphRows(text[i]),
                   true);
    }
}

// The start of each lyric line, in ms: its first time tag, and for the
// title line each of its times.
std::vector<std::pair<int, int>> lineTimes(const std::string& lrc) {
    std::ifstream in(lrc);
    std::vector<std::pair<int, int>> out;
    const std::regex tag(R"(^\[(\d+):(\d+)\.(\d+)\])");
    std::string line;
    int index = 0;
    while (std::getline(in, line)) {
        std::smatch m;
        bool any = false;
        while (std::regex_search(line, m, tag)) {
            const int ms = std::stoi(m[1]) * 60000 + std::stoi(m[2]) * 1000 + std::stoi(m[3]) * 10;
            out.push_back({ms, index});
            line = m.suffix();
            any = true;
            if (index > 0) break;
        }
        if (any) ++index;
    }
    std::sort(out.begin(), out.end());
    return out;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: orba_makecdg LRC OUT.cdg\n");
        return 2;
    }
    const auto times = lineTimes(argv[1]);
    if (times.size() < 2) {
        std::fprintf(stderr, "orba_makecdg: no line times in %s\n", argv[1]);
        return 1;
    }
    CdgWriter w;
    Timeline t(w);
    w.colourTable(t.at(0), false, kColours);
    w.memoryPreset(t.at(0), kBack);
    w.borderPreset(t.at(0), kBorder);
    drawBands(t, 0);
    drawLine(t, 0, 5, "ORBA KARAOKE", kSung);
    constexpr int kNowRow = 7, kNextRow = 10;
    const int songEnd = 45000;
    for (std::size_t i = 0; i < times.size(); ++i) {
        const auto [ms, index] = times[i];
        const int end = i + 1 < times.size() ? times[i + 1].first - 300 : songEnd - 1500;
        const std::string now = kRomaji[index % std::size(kRomaji)];
        clearRow(t, ms, kNowRow);
        clearRow(t, ms, kNextRow);
        drawLine(t, ms, kNowRow, now, kText);
        if (i + 1 < times.size())
            drawLine(t, ms, kNextRow, kRomaji[times[i + 1].second % std::size(kRomaji)], kNext);
        wipeLine(t, ms, end, kNowRow, now);
    }
    w.endAt(CdgWriter::packetAt(songEnd));
    if (!w.write(argv[2])) {
        std::fprintf(stderr, "orba_makecdg: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
