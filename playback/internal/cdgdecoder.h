// What CdgStream asks of the CD+G module (orba_cdg_ffmpeg.so): FFmpeg's
// demuxer and decoder behind types of our own. The module and the player are
// built together, so the interface is plain C++; its version is in the name
// of the factory, to be raised with any change here.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace orba {

inline constexpr int kCdgWidth = 300;
inline constexpr int kCdgHeight = 216;
inline constexpr int kCdgPacketsPerSecond = 300;
inline constexpr int kCdgPacketBytes = 24;
inline constexpr std::uint8_t kCdgGraphicsCommand = 0x09;
inline constexpr std::uint8_t kCdgCommandMask = 0x3F;

class CdgDecoder {
public:
    virtual ~CdgDecoder() = default;
    // Opens the stream at its first packet: the file at `path`, or `memory`
    // when it is given (then `path` only names it). An empty answer is
    // success; otherwise why it cannot be decoded.
    virtual std::string open(const std::string& path,
                             std::shared_ptr<const std::string> memory) = 0;
    // Reads the next packet and draws it when it is a whole graphics packet;
    // false at the end of the stream.
    virtual bool nextPacket() = 0;
    // Whether a screen was decoded yet.
    virtual bool hasScreen() const = 0;
    // Writes the screen as decoded so far (kCdgWidth x kCdgHeight, 0xFFRRGGBB
    // pixels, `stride` pixels from one row to the next), when there is one.
    virtual void screen(std::uint32_t* pixels, std::ptrdiff_t stride) const = 0;
};

using CdgDecoderFactory = CdgDecoder* (*)();
inline constexpr const char* kCdgModule = "orba_cdg_ffmpeg.so";
inline constexpr const char* kCdgFactory = "orba_new_cdg_decoder_v1";

}  // namespace orba
