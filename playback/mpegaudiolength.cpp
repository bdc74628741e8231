#include "playback/mpegaudiolength.h"

#include <climits>

namespace orba {

namespace {

// kbps by [MPEG-1 or not][layer 1..3][index 1..14].
constexpr int kBitrates[2][3][15] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160}},
};
constexpr int kSampleRates[3] = {44100, 48000, 32000};

unsigned byteAt(std::string_view s, std::size_t i) {
    return static_cast<unsigned char>(s[i]);
}

bool sameStream(std::string_view a, std::string_view b) {
    // Sync, version, layer and sample rate stay the same from frame to frame.
    return byteAt(a, 0) == byteAt(b, 0) && (byteAt(a, 1) & 0xFE) == (byteAt(b, 1) & 0xFE) &&
           (byteAt(a, 2) & 0x0C) == (byteAt(b, 2) & 0x0C);
}

}  // namespace

std::optional<MpegFrameHeader> parseMpegFrameHeader(std::string_view bytes) {
    if (bytes.size() < 4 || byteAt(bytes, 0) != 0xFF || (byteAt(bytes, 1) & 0xE0) != 0xE0)
        return std::nullopt;
    unsigned version = (byteAt(bytes, 1) >> 3) & 3;    // 0: 2.5, 1: reserved, 2: 2, 3: 1
    unsigned layerBits = (byteAt(bytes, 1) >> 1) & 3;  // 1: III, 2: II, 3: I
    unsigned bitrateIndex = byteAt(bytes, 2) >> 4;
    unsigned rateIndex = (byteAt(bytes, 2) >> 2) & 3;
    unsigned padding = (byteAt(bytes, 2) >> 1) & 1;
    if (version == 1 || layerBits == 0 || bitrateIndex == 0 || bitrateIndex == 15 || rateIndex == 3)
        return std::nullopt;
    int layer = 4 - static_cast<int>(layerBits);
    bool mpeg1 = version == 3;
    MpegFrameHeader h;
    h.bitrateKbps = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex];
    h.sampleRate = kSampleRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    h.samples = layer == 1 ? 384 : (layer == 3 && !mpeg1) ? 576 : 1152;
    int bps = h.bitrateKbps * 1000;
    if (layer == 1)
        h.frameBytes = (12 * bps / h.sampleRate + static_cast<int>(padding)) * 4;
    else if (layer == 3 && !mpeg1)
        h.frameBytes = 72 * bps / h.sampleRate + static_cast<int>(padding);
    else
        h.frameBytes = 144 * bps / h.sampleRate + static_cast<int>(padding);
    return h;
}

std::uint64_t id3v2TagBytes(std::string_view head) {
    if (head.size() < 10 || head.substr(0, 3) != "ID3") return 0;
    std::uint64_t tag = (byteAt(head, 6) & 0x7F) << 21 | (byteAt(head, 7) & 0x7F) << 14 |
                        (byteAt(head, 8) & 0x7F) << 7 | (byteAt(head, 9) & 0x7F);
    return tag + ((byteAt(head, 5) & 0x10) ? 20 : 10);
}

std::optional<int> estimateMpegAudioLengthMs(std::string_view head, std::uint64_t fileSize) {
    std::size_t start = 0;
    if (std::uint64_t tag = id3v2TagBytes(head)) {
        if (tag >= head.size()) return std::nullopt;
        start = static_cast<std::size_t>(tag);
    }
    for (std::size_t first = start; first + 4 <= head.size(); ++first) {
        std::optional<MpegFrameHeader> h = parseMpegFrameHeader(head.substr(first));
        if (!h || h->frameBytes < 4) continue;
        std::size_t next = first + static_cast<std::size_t>(h->frameBytes);
        // A lone sync pattern in other data is not a stream: the next frame
        // must follow where this one says, unless the bytes end first.
        if (next + 4 <= head.size() && (!parseMpegFrameHeader(head.substr(next)) ||
                                        !sameStream(head.substr(first), head.substr(next))))
            continue;
        if (fileSize <= first) return std::nullopt;
        std::uint64_t bytes = 0;
        std::uint64_t samples = 0;
        std::size_t pos = first;
        while (pos + 4 <= head.size()) {
            std::optional<MpegFrameHeader> f = parseMpegFrameHeader(head.substr(pos));
            if (!f || f->frameBytes < 4 || !sameStream(head.substr(first), head.substr(pos))) break;
            bytes += static_cast<std::uint64_t>(f->frameBytes);
            samples += static_cast<std::uint64_t>(f->samples);
            pos += static_cast<std::size_t>(f->frameBytes);
        }
        std::uint64_t rest = fileSize - first;
        double ms = double(samples) * 1000.0 / h->sampleRate;
        if (bytes < rest) ms = ms * double(rest) / double(bytes);
        return static_cast<int>(ms > INT_MAX ? INT_MAX : ms);
    }
    return std::nullopt;
}

}  // namespace orba
