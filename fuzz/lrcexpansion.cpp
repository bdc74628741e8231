#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "lyrics/messagefile.h"
#include "lyrics/sources/lrcreader.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/lyricsource.h"
#include "platform/textencoding.h"

namespace orba::fuzz {

namespace {

void append(std::string& out, std::string_view piece, std::size_t times, std::size_t most) {
    for (std::size_t i = 0; i < times && out.size() + piece.size() <= most; ++i) out += piece;
}

}  // namespace

void lrcExpansion(std::string_view bytes) {
    if (bytes.size() < 3) return;
    // Three bytes say how often each part repeats: up to a thousand line
    // times, text of up to 128 KiB, the whole line up to four times. A line
    // of 64 KiB of text and a hundred times is past every bound.
    const std::size_t timesRepeat = static_cast<unsigned char>(bytes[0]) * 4 + 1;
    const std::size_t textRepeat = static_cast<unsigned char>(bytes[1]) * 64 + 1;
    const std::size_t lineRepeat = static_cast<unsigned char>(bytes[2]) % 4 + 1;
    bytes.remove_prefix(3);
    const std::size_t split = bytes.find('\n');
    const std::string_view head = bytes.substr(0, split);
    const std::string_view tail = split == std::string_view::npos ? "" : bytes.substr(split + 1);
    std::string line;
    append(line, head, timesRepeat, 64 << 10);
    append(line, tail, textRepeat, 192 << 10);
    line += "\r\n";
    std::string file;
    append(file, line, lineRepeat, kMaxMessageFileBytes);

    const LyricSource s = lyricSourceFromBytes(file, true);
    const std::size_t fileLines = splitLines(file).size();
    // UTF-8 without a mark keeps a few broken bytes as they are; lines must
    // be whole wherever the text was.
    const bool wholeText =
        isUnicode(s.form.encoding) && isValidUtf8(toInternalText(file, s.form.encoding));
    ORBA_FUZZ_CHECK(s.lines.size() <= fileLines * kMaxLrcTimesPerLine);
    std::size_t total = 0;
    for (const std::string& l : s.lines) {
        // The shortest time, "[0:0]", grows to a time value of ten bytes.
        ORBA_FUZZ_CHECK(l.size() <= 10 + 2 * kMaxLyricLineBytes);
        if (wholeText) ORBA_FUZZ_CHECK(isValidUtf8(l));
        total += l.size();
    }
    ORBA_FUZZ_CHECK(total <= kMaxLyricTextBytes);
    for (const std::string& w : s.warnings) ORBA_FUZZ_CHECK(!w.empty() && isValidUtf8(w));
}

}  // namespace orba::fuzz
