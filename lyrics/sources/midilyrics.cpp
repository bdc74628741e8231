#include "lyrics/sources/midilyrics.h"

#include <algorithm>
#include <map>

#include "lyrics/sources/lyricbounds.h"
#include "lyrics/timevalue.h"
#include "platform/miditempomap.h"
#include "platform/sjis.h"

namespace orba {

namespace {

constexpr long long kLastTimeValue = 99 * 60000 + 59 * 1000 + 990;
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool isHeaderText(std::string_view text) {
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

// Each text is decided on by itself: a character split between two events
// would stand split in the line, with a time tag inside it.
struct EncodingChoice {
    TextEncoding encoding = TextEncoding::ShiftJis;
    bool cp1252 = false;
};

EncodingChoice chooseEncoding(const std::vector<std::string_view>& texts) {
    switch (guessPlainText(texts)) {
        case PlainTextGuess::Utf8: {
            const bool mark = std::any_of(texts.begin(), texts.end(), [](std::string_view t) {
                return t.starts_with(kUtf8Mark);
            });
            return {mark ? TextEncoding::Utf8Bom : TextEncoding::Utf8, false};
        }
        case PlainTextGuess::ShiftJis:
            return {TextEncoding::ShiftJis, false};
        case PlainTextGuess::SingleByte:
            break;
    }
    return {TextEncoding::Utf8, true};
}

// The tag syntax has no escape: "[", "]" and "\" in a syllable would open
// tags and hide the text. The full-width forms are what a lyric author
// writes for them.
std::string escapedText(std::string_view text, TextEncoding e) {
    const bool unicode = isUnicode(e);
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t n = textCharLength(text, i, e);
        const char c = text[i];
        if (n == 1 && c == '[')
            out += unicode ? "\xEF\xBC\xBB" : "\x81\x6D";
        else if (n == 1 && c == ']')
            out += unicode ? "\xEF\xBC\xBD" : "\x81\x6E";
        else if (n == 1 && c == '\\')
            out += unicode ? "\xEF\xBC\xBC" : "\x81\x5F";
        else
            out.append(text.substr(i, n));
        i += n;
    }
    return out;
}

// Builds lines from syllables: each line starts with its first syllable's
// time, every later syllable is preceded by its own as a karaoke tag. A line
// that would pass kMaxLyricLineBytes goes on in a new one; past
// kMaxLyricTextBytes no syllable is taken.
class LineBuilder {
public:
    explicit LineBuilder(TextEncoding e) : m_encoding(e) {}

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
    std::vector<std::string> finish(std::vector<std::string>& warnings) {
        endLine();
        if (m_cutPieces)
            warnings.push_back(firstOfCuts("the syllable at " + formatTimeValue(m_firstCutMs) +
                                               " is cut to " + std::to_string(kMaxPiece) + " bytes",
                                           m_cutPieces));
        if (m_splitLines)
            warnings.push_back(firstOfCuts("line " + std::to_string(m_firstSplitLine) +
                                               " reaches " + std::to_string(kMaxLyricLineBytes) +
                                               " bytes and goes on in a new line",
                                           m_splitLines));
        if (m_leftOut)
            warnings.push_back("the lyric text is cut at " + std::to_string(kMaxLyricTextBytes) +
                               " bytes: " + std::to_string(m_leftOut) + " syllables from " +
                               formatTimeValue(m_firstLeftOutMs) + " on are left out");
        return std::move(m_lines);
    }

private:
    static constexpr std::size_t kTag = 10;
    static constexpr std::size_t kMaxPiece = kMaxLyricLineBytes - kTag;

    void add(std::string_view piece, int ms) {
        if (piece.empty()) return;
        if (m_leftOut) {
            ++m_leftOut;
            return;
        }
        std::string text = escapedText(piece, m_encoding);
        if (text.size() > kMaxPiece) {
            if (!m_cutPieces++) m_firstCutMs = ms;
            text.resize(wholeCharsPrefix(text, kMaxPiece, m_encoding));
        }
        if (m_line.size() + kTag + text.size() > kMaxLyricLineBytes) {
            if (!m_splitLines++) m_firstSplitLine = m_lines.size() + 1;
            endLine();
        }
        if (m_total + kTag + text.size() > kMaxLyricTextBytes) {
            m_leftOut = 1;
            m_firstLeftOutMs = ms;
            return;
        }
        m_total += kTag + text.size();
        m_line += formatTimeValue(ms);
        m_line += text;
    }
    void endLine() {
        if (!m_line.empty()) m_lines.push_back(std::move(m_line));
        m_line.clear();
    }

    TextEncoding m_encoding;
    std::string m_line;
    std::vector<std::string> m_lines;
    std::size_t m_total = 0;
    std::size_t m_cutPieces = 0, m_splitLines = 0, m_leftOut = 0;
    int m_firstCutMs = 0, m_firstLeftOutMs = 0;
    std::size_t m_firstSplitLine = 0;
};

}  // namespace

std::optional<MidiLyrics> readMidiLyrics(std::string_view fileBytes) {
    std::vector<MidiTextEvent> texts;
    const std::optional<MidiTempoMap> map = parseMidiTempoMap(fileBytes, &texts);
    if (!map) return std::nullopt;
    const std::vector<const MidiTextEvent*> syllables = syllableEvents(texts);
    if (syllables.empty()) return std::nullopt;

    std::vector<std::string_view> titles;
    for (const MidiTextEvent& e : texts)
        if (e.bytes.starts_with("@T")) titles.push_back(e.bytes.substr(2));

    std::vector<std::string_view> all = titles;
    for (const MidiTextEvent* e : syllables) all.push_back(e->bytes);
    const EncodingChoice choice = chooseEncoding(all);
    MidiLyrics r;
    r.encoding = choice.encoding;
    // Writers that mark UTF-8 put the mark in front of every text.
    const auto internal = [&](std::string_view bytes) {
        if (choice.cp1252) return windows1252ToUtf8(bytes);
        if (isUnicode(r.encoding) && bytes.starts_with(kUtf8Mark))
            bytes.remove_prefix(kUtf8Mark.size());
        return std::string(bytes);
    };

    LineBuilder builder(r.encoding);
    for (const MidiTextEvent* e : syllables) {
        const long long ms = static_cast<long long>(map->msAtTick(e->tick));
        builder.syllable(internal(e->bytes), static_cast<int>(std::min(ms, kLastTimeValue)));
    }
    r.lines = builder.finish(r.warnings);
    if (r.lines.empty()) return std::nullopt;
    if (!titles.empty()) r.title = lyricTextToUtf8(internal(titles[0]), r.encoding);
    if (titles.size() > 1) r.artist = lyricTextToUtf8(internal(titles[1]), r.encoding);
    return r;
}

}  // namespace orba
