#include "lyrics/sources/midilyrics.h"

#include <algorithm>
#include <map>

#include "lyrics/timevalue.h"
#include "platform/miditempomap.h"
#include "platform/sjis.h"

namespace orba {

namespace {

constexpr long long kLastTimeValue = 99 * 60000 + 59 * 1000 + 990;

bool isHeaderText(const std::string& text) {
    return !text.empty() && text[0] == '@';
}

// The events that carry the syllables, in tick order.
std::vector<const MidiTextEvent*> syllableEvents(const std::vector<MidiTextEvent>& texts) {
    std::vector<const MidiTextEvent*> out;
    for (const MidiTextEvent& e : texts)
        if (e.type == 5) out.push_back(&e);
    if (!out.empty()) return out;
    if (std::none_of(texts.begin(), texts.end(),
                     [](const MidiTextEvent& e) { return isHeaderText(e.bytes); }))
        return out;
    std::map<int, int> perTrack;
    for (const MidiTextEvent& e : texts)
        if (!isHeaderText(e.bytes)) ++perTrack[e.track];
    if (perTrack.empty()) return out;
    const int track = std::max_element(perTrack.begin(), perTrack.end(), [](auto& a, auto& b) {
                          return a.second < b.second;
                      })->first;
    for (const MidiTextEvent& e : texts)
        if (e.track == track && !isHeaderText(e.bytes)) out.push_back(&e);
    return out;
}

// Builds lines from syllables: each line starts with its first syllable's
// time, every later syllable is preceded by its own as a karaoke tag.
class LineBuilder {
public:
    void syllable(std::string_view text, int ms) {
        if (!text.empty() && (text[0] == '/' || text[0] == '\\')) {
            endLine();
            text.remove_prefix(1);
        }
        for (;;) {
            const std::size_t brk = text.find_first_of("\r\n");
            add(text.substr(0, brk), ms);
            if (brk == std::string_view::npos) break;
            endLine();
            text.remove_prefix(brk + 1);
        }
    }
    std::vector<std::string> finish() {
        endLine();
        return std::move(m_lines);
    }

private:
    void add(std::string_view piece, int ms) {
        if (piece.empty()) return;
        const std::string tag = formatTimeValue(ms);
        if (m_line.empty())
            m_line = tag;
        else
            m_line += tag;
        m_line.append(piece);
    }
    void endLine() {
        if (!m_line.empty()) m_lines.push_back(std::move(m_line));
        m_line.clear();
    }
    std::string m_line;
    std::vector<std::string> m_lines;
};

}  // namespace

bool isValidSjis(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 0x80 || (c >= 0xA1 && c <= 0xDF)) continue;
        if (!isSjisLeadByte(c) || i + 1 >= bytes.size()) return false;
        const auto t = static_cast<unsigned char>(bytes[++i]);
        if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
    }
    return true;
}

std::optional<MidiLyrics> readMidiLyrics(std::string_view fileBytes) {
    std::vector<MidiTextEvent> texts;
    const std::optional<MidiTempoMap> map = parseMidiTempoMap(fileBytes, &texts);
    if (!map) return std::nullopt;
    const std::vector<const MidiTextEvent*> syllables = syllableEvents(texts);
    if (syllables.empty()) return std::nullopt;

    std::vector<std::string> titles;
    for (const MidiTextEvent& e : texts)
        if (e.bytes.starts_with("@T")) titles.push_back(e.bytes.substr(2));

    std::string all;
    for (const MidiTextEvent* e : syllables) all += e->bytes;
    for (const std::string& t : titles) all += t;
    MidiLyrics r;
    bool cp1252 = false;
    if (isValidUtf8(all))
        r.encoding = detectTextEncoding(all) == TextEncoding::Utf8 ? TextEncoding::Utf8
                                                                   : TextEncoding::ShiftJis;
    else if (isValidSjis(all))
        r.encoding = TextEncoding::ShiftJis;
    else
        cp1252 = true, r.encoding = TextEncoding::Utf8;
    const auto internal = [&](const std::string& bytes) {
        return cp1252 ? windows1252ToUtf8(bytes) : bytes;
    };

    LineBuilder builder;
    for (const MidiTextEvent* e : syllables) {
        const long long ms = static_cast<long long>(map->msAtTick(e->tick));
        builder.syllable(internal(e->bytes), static_cast<int>(std::min(ms, kLastTimeValue)));
    }
    r.lines = builder.finish();
    if (r.lines.empty()) return std::nullopt;
    if (!titles.empty()) r.title = lyricTextToUtf8(internal(titles[0]), r.encoding);
    if (titles.size() > 1) r.artist = lyricTextToUtf8(internal(titles[1]), r.encoding);
    return r;
}

}  // namespace orba
