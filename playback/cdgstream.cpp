#include "playback/cdgstream.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/modules.h"
#include "platform/zipsong.h"

namespace orba {

namespace {

// How far into a file the look for graphics goes: half a minute of packets,
// enough to pass the silence some songs open with.
constexpr std::size_t kCheckedBytes = 9000 * kCdgPacketBytes;

bool knownInstruction(std::uint8_t instruction) {
    switch (instruction & kCdgCommandMask) {
        case 1:
        case 2:
        case 6:
        case 20:
        case 24:
        case 28:
        case 30:
        case 31:
        case 38:
            return true;
        default:
            return false;
    }
}

std::string readHead(const std::string& path, std::int64_t& size) {
    std::ifstream f(path, std::ios::binary | std::ios::ate);
    if (!f) {
        size = -1;
        return {};
    }
    size = static_cast<std::int64_t>(f.tellg());
    std::string head(static_cast<std::size_t>(std::min<std::int64_t>(size, kCheckedBytes)), '\0');
    f.seekg(0);
    f.read(head.data(), static_cast<std::streamsize>(head.size()));
    head.resize(static_cast<std::size_t>(std::max<std::streamsize>(f.gcount(), 0)));
    return head;
}

}  // namespace

CdgCheck checkCdgBytes(const std::string& head, std::int64_t fileSize) {
    CdgCheck c;
    c.packets = fileSize / kCdgPacketBytes;
    if (c.packets == 0) {
        c.problem = "no CD+G packets (the file is shorter than one)";
        return c;
    }
    bool graphics = false;
    for (std::size_t at = 0; at + kCdgPacketBytes <= head.size() && !graphics;
         at += kCdgPacketBytes) {
        const auto command = static_cast<std::uint8_t>(head[at]);
        graphics = (command & kCdgCommandMask) == kCdgGraphicsCommand &&
                   knownInstruction(static_cast<std::uint8_t>(head[at + 1]));
    }
    if (!graphics) {
        c.problem =
            "not CD+G graphics (no drawing instruction in its first " +
            std::to_string(std::min<std::int64_t>(c.packets, kCheckedBytes / kCdgPacketBytes)) +
            " packets)";
        return c;
    }
    if (const std::int64_t rest = fileSize % kCdgPacketBytes; rest != 0)
        c.note = "cut in the middle of a packet (the last " + std::to_string(rest) +
                 " bytes are left out)";
    return c;
}

CdgStream::CdgStream(std::string path) : m_path(std::move(path)) {
    if (hasZipExtension(m_path)) {
        const ZipSongEntries entries = lookInZip(m_path);
        std::string why = entries.problem;
        if (why.empty() && entries.cdg.empty()) why = "no CD+G graphics in the zip";
        std::optional<std::string> bytes;
        if (why.empty()) bytes = readZipEntry(m_path, entries.cdg, kZipSongMaxBytes, &why);
        if (!bytes) {
            m_problem = why;
            return;
        }
        m_memory = std::make_shared<const std::string>(std::move(*bytes));
        check(m_memory->substr(0, kCheckedBytes), static_cast<std::int64_t>(m_memory->size()));
        return;
    }
    std::int64_t size = 0;
    const std::string head = readHead(m_path, size);
    if (size < 0) {
        m_problem = "cannot be read";
        return;
    }
    check(head, size);
}

CdgStream::CdgStream(std::string name, std::string bytes)
    : m_path(std::move(name)), m_memory(std::make_shared<const std::string>(std::move(bytes))) {
    check(m_memory->substr(0, kCheckedBytes), static_cast<std::int64_t>(m_memory->size()));
}

void CdgStream::check(const std::string& head, std::int64_t size) {
    const CdgCheck check = checkCdgBytes(head, size);
    m_problem = check.problem;
    m_note = check.note;
    m_packetCount = check.packets;
    if (m_problem.empty()) start();
}

CdgStream::~CdgStream() = default;

bool CdgStream::start() {
    m_decoder.reset();
    m_decoded = 0;
    m_ended = false;
    std::string why;
    const auto factory =
        reinterpret_cast<CdgDecoderFactory>(moduleSymbol(kCdgModule, kCdgFactory, why));
    if (!factory) {
        m_problem = "CD+G graphics cannot be decoded: " + why;
        return false;
    }
    std::unique_ptr<CdgDecoder> decoder(factory());
    if (std::string problem = decoder->open(m_path, m_memory); !problem.empty()) {
        m_problem = std::move(problem);
        return false;
    }
    m_decoder = std::move(decoder);
    return true;
}

bool CdgStream::advanceTo(int ms) {
    const std::int64_t packets = std::min(cdgPacketsUpTo(ms), m_packetCount);
    if (packets == m_decoded || !m_decoder || (m_ended && packets > m_decoded)) return false;
    if (packets < m_decoded) {
        ++m_restarts;
        if (!start()) return true;
    }
    while (m_decoded < packets && !m_ended) {
        if (!m_decoder->nextPacket()) {
            m_ended = true;
            break;
        }
        ++m_decoded;
    }
    return true;
}

CdgPicture CdgStream::picture() const {
    CdgPicture p;
    p.screen = Bitmap(kCdgWidth, kCdgHeight);
    p.packets = m_decoded;
    if (!m_decoder || !m_decoder->hasScreen()) return p;
    QImage& img = p.screen.image();
    m_decoder->screen(reinterpret_cast<std::uint32_t*>(img.scanLine(0)), img.bytesPerLine() / 4);
    p.border = fromPixel(reinterpret_cast<const std::uint32_t*>(img.constScanLine(0))[0]);
    return p;
}

}  // namespace orba
