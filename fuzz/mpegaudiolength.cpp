#include "playback/mpegaudiolength.h"

#include "fuzz/check.h"
#include "fuzz/targets.h"

namespace orba::fuzz {

void mpegAudioLength(std::string_view bytes) {
    id3v2TagBytes(bytes);
    if (std::optional<MpegFrameHeader> h = parseMpegFrameHeader(bytes)) {
        ORBA_FUZZ_CHECK(h->bitrateKbps > 0 && h->sampleRate > 0 && h->samples > 0);
        ORBA_FUZZ_CHECK(h->frameBytes >= 0);
    }
    // The file may be exactly these bytes, or far longer than the head read.
    for (std::uint64_t fileSize : {std::uint64_t{bytes.size()}, std::uint64_t{bytes.size()} * 1000,
                                   std::uint64_t{1} << 40, std::uint64_t{0}}) {
        std::optional<int> ms = estimateMpegAudioLengthMs(bytes, fileSize);
        ORBA_FUZZ_CHECK(!ms || *ms >= 0);
    }
}

}  // namespace orba::fuzz
