#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "playback/cdgstream.h"

namespace orba::fuzz {

void cdgFile(std::string_view bytes) {
    CdgStream stream("fuzz.cdg", std::string(bytes));
    if (!stream.problem().empty()) {
        ORBA_FUZZ_CHECK(stream.picture().packets == 0);
        return;
    }
    ORBA_FUZZ_CHECK(stream.packetCount() == static_cast<std::int64_t>(bytes.size()) / kCdgPacketBytes);
    // Forward, past the end, and back: a time before what was decoded starts
    // the stream again and shows exactly the packets of that time.
    const int endMs = static_cast<int>(stream.packetCount() * 1000 / kCdgPacketsPerSecond);
    for (int ms : {0, endMs / 2, endMs + 1000, endMs / 3, 0}) {
        const CdgPicture p = stream.pictureAt(ms);
        ORBA_FUZZ_CHECK(p.screen.width() == kCdgWidth && p.screen.height() == kCdgHeight);
        ORBA_FUZZ_CHECK(p.packets <= stream.packetCount());
        ORBA_FUZZ_CHECK(p.packets == std::min(cdgPacketsUpTo(ms), stream.packetCount()));
    }
}

}  // namespace orba::fuzz
