// The length of an MPEG audio stream (.mp3, .mp2) that carries no length
// header, estimated from its first frames: GStreamer learns such a length only
// while it plays, but a song needs its length as soon as it opens.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace orba {

struct MpegFrameHeader {
    int bitrateKbps = 0;
    int sampleRate = 0;
    int frameBytes = 0;
    int samples = 0;  // per channel, per frame
};

// Size in bytes of the ID3v2 tag that `head` begins with (header and footer
// included), or 0 when it begins with none. Cover pictures make tags of
// several megabytes.
std::uint64_t id3v2TagBytes(std::string_view head);

// The frame header at the start of `bytes`, if it is a valid one.
std::optional<MpegFrameHeader> parseMpegFrameHeader(std::string_view bytes);

// Milliseconds of audio in a file of `fileSize` bytes that begins with
// `head` (after any ID3v2 tag): the frames in `head` are counted, and the
// rest of the file is taken to have their average bitrate. Exact when `head`
// holds the whole stream, and for constant-bitrate streams.
std::optional<int> estimateMpegAudioLengthMs(std::string_view head, std::uint64_t fileSize);

}  // namespace orba
