#include "playback/cdgstream.h"

#include <QImage>
#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/zipsong.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/log.h>
}

namespace orba {

namespace {

constexpr std::uint8_t kGraphicsCommand = 0x09;
constexpr std::uint8_t kCommandMask = 0x3F;
// How far into a file the look for graphics goes: half a minute of packets,
// enough to pass the silence some songs open with.
constexpr std::size_t kCheckedBytes = 9000 * kCdgPacketBytes;

bool knownInstruction(std::uint8_t instruction) {
    switch (instruction & kCommandMask) {
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

constexpr int kIoBufferBytes = 4096;

// Graphics read out of a song zip, handed to FFmpeg's demuxer as a file.
struct MemoryReader {
    std::shared_ptr<const std::string> bytes;
    std::size_t offset = 0;

    static int read(void* self, std::uint8_t* to, int size) {
        auto* r = static_cast<MemoryReader*>(self);
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(size),
                                                    r->bytes->size() - r->offset);
        if (n == 0) return AVERROR_EOF;
        std::memcpy(to, r->bytes->data() + r->offset, n);
        r->offset += n;
        return static_cast<int>(n);
    }
    static std::int64_t seek(void* self, std::int64_t offset, int whence) {
        auto* r = static_cast<MemoryReader*>(self);
        const auto size = static_cast<std::int64_t>(r->bytes->size());
        if (whence & AVSEEK_SIZE) return size;
        std::int64_t at = offset;
        if ((whence & 3) == SEEK_CUR) at += static_cast<std::int64_t>(r->offset);
        if ((whence & 3) == SEEK_END) at += size;
        if (at < 0 || at > size) return -1;
        r->offset = static_cast<std::size_t>(at);
        return at;
    }
};

struct IoFreer {
    void operator()(AVIOContext* io) const {
        if (io) av_freep(&io->buffer);
        avio_context_free(&io);
    }
};

struct FormatCloser {
    void operator()(AVFormatContext* c) const { avformat_close_input(&c); }
};
struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};

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
        graphics = (command & kCommandMask) == kGraphicsCommand &&
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

struct CdgStream::Ffmpeg {
    // Before the format, which reads through it until it closes.
    MemoryReader reader;
    std::unique_ptr<AVIOContext, IoFreer> io;
    std::unique_ptr<AVFormatContext, FormatCloser> format;
    std::unique_ptr<AVCodecContext, CodecFreer> codec;
    std::unique_ptr<AVPacket, PacketFreer> packet{av_packet_alloc()};
    // The decoder's newest screen; held between packets, so the decoder
    // draws the next one into a copy.
    std::unique_ptr<AVFrame, FrameFreer> frame{av_frame_alloc()};
    bool ended = false;
};

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
    // FFmpeg's own messages would go to stderr, around the player's.
    av_log_set_level(AV_LOG_QUIET);
    auto ff = std::make_unique<Ffmpeg>();
    m_ff.reset();
    m_decoded = 0;
    const AVInputFormat* input = av_find_input_format("cdg");
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_CDGRAPHICS);
    if (!input || !decoder || !ff->packet || !ff->frame) {
        m_problem = "no CD+G decoder in this FFmpeg";
        return false;
    }
    AVFormatContext* format = nullptr;
    if (m_memory) {
        ff->reader.bytes = m_memory;
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
        ff->io.reset(buffer ? avio_alloc_context(buffer, kIoBufferBytes, 0, &ff->reader,
                                                 &MemoryReader::read, nullptr, &MemoryReader::seek)
                            : nullptr);
        if (!ff->io) av_free(buffer);
        format = avformat_alloc_context();
        if (!ff->io || !format) {
            avformat_free_context(format);
            m_problem = "out of memory for the graphics";
            return false;
        }
        format->pb = ff->io.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    if (avformat_open_input(&format, m_memory ? nullptr : m_path.c_str(), input, nullptr) < 0) {
        m_problem = "cannot be opened";
        return false;
    }
    ff->format.reset(format);
    if (format->nb_streams < 1) {
        m_problem = "holds no graphics stream";
        return false;
    }
    ff->codec.reset(avcodec_alloc_context3(decoder));
    if (!ff->codec ||
        avcodec_parameters_to_context(ff->codec.get(), format->streams[0]->codecpar) < 0 ||
        avcodec_open2(ff->codec.get(), decoder, nullptr) < 0) {
        m_problem = "the CD+G decoder did not start";
        return false;
    }
    m_ff = std::move(ff);
    return true;
}

bool CdgStream::advanceTo(int ms) {
    const std::int64_t packets = std::min(cdgPacketsUpTo(ms), m_packetCount);
    if (packets == m_decoded || !m_ff || (m_ff->ended && packets > m_decoded)) return false;
    if (packets < m_decoded) {
        ++m_restarts;
        if (!start()) return true;
    }
    Ffmpeg& ff = *m_ff;
    AVPacket* packet = ff.packet.get();
    while (m_decoded < packets && !ff.ended) {
        if (av_read_frame(ff.format.get(), packet) < 0) {
            ff.ended = true;
            break;
        }
        ++m_decoded;
        // A cut last packet is left out (checkCdgBytes named it); only
        // graphics packets change the screen.
        if (packet->size == kCdgPacketBytes &&
            (packet->data[0] & kCommandMask) == kGraphicsCommand &&
            avcodec_send_packet(ff.codec.get(), packet) == 0) {
            AVFrame* next = av_frame_alloc();
            while (next && avcodec_receive_frame(ff.codec.get(), next) == 0) {
                av_frame_unref(ff.frame.get());
                av_frame_move_ref(ff.frame.get(), next);
            }
            av_frame_free(&next);
        }
        av_packet_unref(packet);
    }
    return true;
}

CdgPicture CdgStream::picture() const {
    CdgPicture p;
    p.screen = Bitmap(kCdgWidth, kCdgHeight);
    p.packets = m_decoded;
    const AVFrame* f = m_ff ? m_ff->frame.get() : nullptr;
    if (!f || !f->data[0] || f->format != AV_PIX_FMT_PAL8 || f->width < kCdgWidth ||
        f->height < kCdgHeight)
        return p;
    QImage& img = p.screen.image();
    const auto* palette = reinterpret_cast<const std::uint32_t*>(f->data[1]);
    for (int y = 0; y < kCdgHeight; ++y) {
        const std::uint8_t* in = f->data[0] + static_cast<std::ptrdiff_t>(y) * f->linesize[0];
        auto* out = reinterpret_cast<std::uint32_t*>(img.scanLine(y));
        for (int x = 0; x < kCdgWidth; ++x) out[x] = 0xFF000000u | palette[in[x]];
    }
    p.border = fromPixel(reinterpret_cast<const std::uint32_t*>(img.constScanLine(0))[0]);
    return p;
}

}  // namespace orba
