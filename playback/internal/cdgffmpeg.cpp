// The CD+G module: FFmpeg's "cdg" demuxer and CD+G decoder. Loaded by
// CdgStream on the first song with graphics; nothing else of the player
// links FFmpeg.
#include <algorithm>
#include <cstring>

#include "playback/internal/cdgdecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavformat/avio.h>
#include <libavutil/frame.h>
#include <libavutil/log.h>
#include <libavutil/mem.h>
}

namespace orba {

namespace {

constexpr int kIoBufferBytes = 4096;

// Graphics read out of a song zip, handed to FFmpeg's demuxer as a file.
struct MemoryReader {
    std::shared_ptr<const std::string> bytes;
    std::size_t offset = 0;

    static int read(void* self, std::uint8_t* to, int size) {
        auto* r = static_cast<MemoryReader*>(self);
        const std::size_t n =
            std::min<std::size_t>(static_cast<std::size_t>(size), r->bytes->size() - r->offset);
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

class FfmpegCdgDecoder final : public CdgDecoder {
public:
    std::string open(const std::string& path, std::shared_ptr<const std::string> memory) override;
    bool nextPacket() override;
    bool hasScreen() const override;
    void screen(std::uint32_t* pixels, std::ptrdiff_t stride) const override;

private:
    // Before the format, which reads through it until it closes.
    MemoryReader m_reader;
    std::unique_ptr<AVIOContext, IoFreer> m_io;
    std::unique_ptr<AVFormatContext, FormatCloser> m_format;
    std::unique_ptr<AVCodecContext, CodecFreer> m_codec;
    std::unique_ptr<AVPacket, PacketFreer> m_packet{av_packet_alloc()};
    // The decoder's newest screen; held between packets, so the decoder
    // draws the next one into a copy.
    std::unique_ptr<AVFrame, FrameFreer> m_frame{av_frame_alloc()};
};

std::string FfmpegCdgDecoder::open(const std::string& path,
                                   std::shared_ptr<const std::string> memory) {
    // FFmpeg's own messages would go to stderr, around the player's.
    av_log_set_level(AV_LOG_QUIET);
    const AVInputFormat* input = av_find_input_format("cdg");
    const AVCodec* decoder = avcodec_find_decoder(AV_CODEC_ID_CDGRAPHICS);
    if (!input || !decoder || !m_packet || !m_frame) return "no CD+G decoder in this FFmpeg";
    AVFormatContext* format = nullptr;
    if (memory) {
        m_reader.bytes = std::move(memory);
        auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
        m_io.reset(buffer ? avio_alloc_context(buffer, kIoBufferBytes, 0, &m_reader,
                                               &MemoryReader::read, nullptr, &MemoryReader::seek)
                          : nullptr);
        if (!m_io) av_free(buffer);
        format = avformat_alloc_context();
        if (!m_io || !format) {
            avformat_free_context(format);
            return "out of memory for the graphics";
        }
        format->pb = m_io.get();
        format->flags |= AVFMT_FLAG_CUSTOM_IO;
    }
    if (avformat_open_input(&format, m_reader.bytes ? nullptr : path.c_str(), input, nullptr) < 0)
        return "cannot be opened";
    m_format.reset(format);
    if (format->nb_streams < 1) return "holds no graphics stream";
    m_codec.reset(avcodec_alloc_context3(decoder));
    if (!m_codec ||
        avcodec_parameters_to_context(m_codec.get(), format->streams[0]->codecpar) < 0 ||
        avcodec_open2(m_codec.get(), decoder, nullptr) < 0)
        return "the CD+G decoder did not start";
    return {};
}

bool FfmpegCdgDecoder::nextPacket() {
    AVPacket* packet = m_packet.get();
    if (av_read_frame(m_format.get(), packet) < 0) return false;
    // A cut last packet is left out (checkCdgBytes named it); only graphics
    // packets change the screen.
    if (packet->size == kCdgPacketBytes &&
        (packet->data[0] & kCdgCommandMask) == kCdgGraphicsCommand &&
        avcodec_send_packet(m_codec.get(), packet) == 0) {
        AVFrame* next = av_frame_alloc();
        while (next && avcodec_receive_frame(m_codec.get(), next) == 0) {
            av_frame_unref(m_frame.get());
            av_frame_move_ref(m_frame.get(), next);
        }
        av_frame_free(&next);
    }
    av_packet_unref(packet);
    return true;
}

bool FfmpegCdgDecoder::hasScreen() const {
    const AVFrame* f = m_frame.get();
    return f && f->data[0] && f->format == AV_PIX_FMT_PAL8 && f->width >= kCdgWidth &&
           f->height >= kCdgHeight;
}

void FfmpegCdgDecoder::screen(std::uint32_t* pixels, std::ptrdiff_t stride) const {
    if (!hasScreen()) return;
    const AVFrame* f = m_frame.get();
    const auto* palette = reinterpret_cast<const std::uint32_t*>(f->data[1]);
    for (int y = 0; y < kCdgHeight; ++y) {
        const std::uint8_t* in = f->data[0] + static_cast<std::ptrdiff_t>(y) * f->linesize[0];
        std::uint32_t* out = pixels + y * stride;
        for (int x = 0; x < kCdgWidth; ++x) out[x] = 0xFF000000u | palette[in[x]];
    }
}

}  // namespace

}  // namespace orba

extern "C" __attribute__((visibility("default"))) orba::CdgDecoder* orba_new_cdg_decoder_v1() {
    return new orba::FfmpegCdgDecoder();
}
