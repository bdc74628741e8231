// A CD+G graphics stream (the ".cdg" beside a music file) decoded into its
// 300 x 216 screen, on the caller's thread; CdgGraphics runs it on a worker.
//
// Decoding only goes forward: a time before the last decoded packet starts
// the stream again from its first packet with a fresh decoder (a palette or
// a picture left from later must never show). A stream never holds more than
// one packet and one screen in memory, whatever its length.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/bitmap.h"
#include "platform/raster.h"
#include "playback/internal/cdgdecoder.h"

namespace orba {

// The packets a song time covers: every packet whose time is at or before `ms`.
constexpr std::int64_t cdgPacketsUpTo(int ms) {
    return ms < 0 ? 0 : static_cast<std::int64_t>(ms) * kCdgPacketsPerSecond / 1000 + 1;
}

// What a look at a file's first bytes says of it as a CD+G stream; an empty
// problem is a stream worth decoding.
struct CdgCheck {
    std::string problem;  // why it cannot be read as graphics
    std::string note;     // what is odd but readable (a cut last packet)
    std::int64_t packets = 0;
};
CdgCheck checkCdgBytes(const std::string& head, std::int64_t fileSize);

struct CdgPicture {
    Bitmap screen;             // kCdgWidth x kCdgHeight, border included
    Colour border = 0;         // 0x00BBGGRR of the border's top-left pixel
    std::int64_t packets = 0;  // how many packets it shows
};

class CdgStream {
public:
    // Opens `path` (a .cdg file, or a song zip holding one); problem() says
    // why when it cannot be decoded (the CD+G module missing among the
    // reasons), and the picture then stays black.
    explicit CdgStream(std::string path);
    // Decodes `bytes` held in memory, named `name`.
    CdgStream(std::string name, std::string bytes);
    ~CdgStream();
    CdgStream(const CdgStream&) = delete;
    CdgStream& operator=(const CdgStream&) = delete;

    const std::string& problem() const { return m_problem; }
    const std::string& note() const { return m_note; }
    // Packets in the file, whole ones only.
    std::int64_t packetCount() const { return m_packetCount; }

    // Decodes up to the song time `ms` (forward, or from the start again
    // when `ms` lies before what was decoded); false when the screen cannot
    // have changed.
    bool advanceTo(int ms);
    // The screen as decoded so far.
    CdgPicture picture() const;
    CdgPicture pictureAt(int ms) {
        advanceTo(ms);
        return picture();
    }
    // How many times the stream was started again from its first packet.
    int restarts() const { return m_restarts; }

private:
    void check(const std::string& head, std::int64_t size);
    bool start();

    std::string m_path;
    // The graphics of a song zip, read out of it whole.
    std::shared_ptr<const std::string> m_memory;
    std::string m_problem;
    std::string m_note;
    std::int64_t m_packetCount = 0;
    std::int64_t m_decoded = 0;  // packets read from the stream so far
    int m_restarts = 0;
    std::unique_ptr<CdgDecoder> m_decoder;  // none while the stream cannot be decoded
    bool m_ended = false;
};

}  // namespace orba
