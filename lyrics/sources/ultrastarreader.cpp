#include "lyrics/sources/ultrastarreader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <optional>

#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/readertext.h"
#include "lyrics/timevalue.h"
#include "platform/files.h"

namespace orba {

namespace {

// Beat numbers saturate here: far past any song, far inside a double's
// exact integers, so no sum of them overflows.
constexpr long long kMostBeats = 1LL << 40;

std::string asciiUpper(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    return out;
}

// "#NAME:value" as the upper-case name and the value.
bool headerLine(std::string_view line, std::string& name, std::string_view& value) {
    if (line.empty() || line[0] != '#') return false;
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return false;
    name = asciiUpper(trimmed(line.substr(1, colon - 1)));
    value = trimmed(line.substr(colon + 1));
    return true;
}

// A finite decimal number, "," read as ".".
std::optional<double> decimal(std::string_view text) {
    std::string s(trimmed(text));
    std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s[0] == '+') s.erase(0, 1);
    double v = 0;
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

// A whole number at `at` after blanks, saturating at kMostBeats either way.
std::optional<long long> integerAt(std::string_view s, std::size_t& at) {
    while (at < s.size() && isBlank(s[at])) ++at;
    const bool negative = at < s.size() && s[at] == '-';
    if (negative) ++at;
    const std::size_t from = at;
    long long v = 0;
    for (; at < s.size() && isDigit(s[at]); ++at) v = std::min(v * 10 + (s[at] - '0'), kMostBeats);
    if (at == from) return std::nullopt;
    return negative ? -v : v;
}

int heldMs(double ms) {
    if (!(ms > 0)) return 0;
    return ms >= kLastTimeValue ? kLastTimeValue : static_cast<int>(ms);
}

std::optional<NoteKind> noteKind(char c) {
    switch (c) {
        case ':':
            return NoteKind::Normal;
        case '*':
            return NoteKind::Golden;
        case 'F':
            return NoteKind::Freestyle;
        case 'R':
            return NoteKind::Rap;
        case 'G':
            return NoteKind::RapGolden;
        default:
            return std::nullopt;
    }
}

struct Syllable {
    long long beat = 0;
    long long length = 0;
    int pitch = 0;
    NoteKind kind = NoteKind::Normal;
    std::string text;
};

struct Line {
    int singer = 0;
    std::vector<Syllable> syllables;
};

struct Timing {
    double gapMs = 0;
    double msPerBeat = 0;
    int at(long long beat) const { return heldMs(gapMs + static_cast<double>(beat) * msPerBeat); }
};

}  // namespace

bool isUltraStarText(const std::vector<std::string>& fileLines) {
    bool title = false, bpm = false;
    for (const std::string& raw : fileLines) {
        std::string_view line = trimmed(raw);
        if (line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (line.empty()) continue;
        std::string name;
        std::string_view value;
        if (!headerLine(line, name, value)) break;
        title = title || name == "TITLE";
        bpm = bpm || name == "BPM";
        if (title && bpm) return true;
    }
    return false;
}

UltraStarText readUltraStar(const std::vector<std::string>& fileLines, TextEncoding e) {
    UltraStarText r;
    std::optional<double> bpm;
    std::optional<std::string> bpmText;
    bool relative = false;
    Timing timing;
    std::vector<Line> lines(1);
    long long offset = 0;  // the beat count of #RELATIVE:yes
    std::size_t at = 0;
    for (; at < fileLines.size(); ++at) {
        std::string_view line = trimmed(fileLines[at]);
        if (at == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        std::string name;
        std::string_view value;
        if (line.empty()) continue;
        if (!headerLine(line, name, value)) break;
        if (name == "TITLE") r.title = value;
        if (name == "ARTIST") r.artist = value;
        if (name == "MP3" && r.audio.empty()) r.audio = value;
        if (name == "AUDIO") r.audio = value;
        if (name == "VIDEO") r.video = value;
        if (name == "RELATIVE") relative = asciiUpper(value) == "YES";
        if (name == "BPM") bpm = decimal(value), bpmText = quotedPart(value, e);
        if (name == "GAP") {
            if (std::optional<double> gap = decimal(value))
                timing.gapMs = *gap;
            else
                r.warnings.push_back("#GAP '" + quotedPart(value, e) +
                                     "' is not a number; 0 is used");
        }
    }
    if (!bpmText) {
        r.problem = "no #BPM header: the notes cannot be timed";
        return r;
    }
    if (!bpm || *bpm <= 0) {
        r.problem = "#BPM '" + *bpmText + "' is not a positive number of beats per minute";
        return r;
    }
    timing.msPerBeat = 15000.0 / *bpm;

    int singer = 0;
    std::size_t longLines = 0, firstLongLine = 0;
    std::size_t lineBytes = 0;
    const auto breakLine = [&] {
        if (!lines.back().syllables.empty()) lines.push_back({singer, {}});
        lineBytes = 0;
    };
    for (; at < fileLines.size(); ++at) {
        const std::string_view line = fileLines[at];
        const std::string_view bare = trimmed(line);
        if (bare.empty()) continue;
        if (bare == "E") break;
        if (bare[0] == 'P' && bare.size() <= 3) {
            std::size_t p = 1;
            const std::optional<long long> part = integerAt(bare, p);
            if (part && p == bare.size()) {
                breakLine();
                singer = static_cast<int>(std::clamp<long long>(*part, 0, 3));
                lines.back().singer = singer;
                offset = 0;
                continue;
            }
        }
        if (bare[0] == '-') {
            std::size_t p = 1;
            const std::optional<long long> a = integerAt(bare, p);
            const std::optional<long long> b = integerAt(bare, p);
            if (relative && a)
                offset = std::clamp(offset + b.value_or(*a), -kMostBeats, kMostBeats);
            breakLine();
            continue;
        }
        const std::optional<NoteKind> kind = noteKind(bare[0]);
        if (!kind) continue;
        // The text follows the pitch after one blank, and may begin with
        // blanks of its own: they part the words.
        const std::size_t from = static_cast<std::size_t>(bare.data() - line.data()) + 1;
        std::size_t p = from;
        const std::optional<long long> beat = integerAt(line, p);
        const std::optional<long long> length = integerAt(line, p);
        const std::optional<long long> pitch = integerAt(line, p);
        if (!beat || !length || !pitch) continue;
        if (p < line.size() && isBlank(line[p])) ++p;
        Syllable s;
        s.beat = std::clamp(offset + *beat, -kMostBeats, kMostBeats);
        s.length = std::max(0LL, *length);
        s.pitch = static_cast<int>(std::clamp<long long>(*pitch, -1000, 1000));
        s.kind = *kind;
        for (char c : line.substr(std::min(p, line.size())))
            if (c != '~') s.text += c;
        while (!s.text.empty() && (s.text.back() == '\r' || s.text.back() == '\n'))
            s.text.pop_back();
        if (s.text.size() > kMaxLyricLineBytes - std::min(lineBytes, kMaxLyricLineBytes)) {
            if (!longLines++) firstLongLine = at + 1;
            s.text.resize(wholeCharsPrefix(
                s.text, kMaxLyricLineBytes - std::min(lineBytes, kMaxLyricLineBytes), e));
        }
        lineBytes += s.text.size();
        lines.back().syllables.push_back(std::move(s));
    }
    if (lines.back().syllables.empty()) lines.pop_back();
    if (lines.empty()) {
        r.problem = "no notes in the UltraStar file";
        return r;
    }
    if (longLines)
        r.warnings.push_back(firstOfCuts(
            "the line of file line " + std::to_string(firstLongLine) + " holds more than " +
                std::to_string(kMaxLyricLineBytes) + " bytes of text; the rest is sung without it",
            longLines));

    for (Line& l : lines)
        std::stable_sort(l.syllables.begin(), l.syllables.end(),
                         [](const Syllable& a, const Syllable& b) { return a.beat < b.beat; });
    std::stable_sort(lines.begin(), lines.end(), [](const Line& a, const Line& b) {
        return a.syllables.front().beat < b.syllables.front().beat;
    });
    // Duet parts count beats alike, so lines of one beat are of one time.
    for (const Line& l : lines) {
        const int index = static_cast<int>(r.lines.size());
        std::string text = formatTimeValue(timing.at(l.syllables.front().beat));
        for (const Syllable& s : l.syllables) {
            const int start = timing.at(s.beat);
            const int end = timing.at(std::min(s.beat + s.length, kMostBeats));
            text += formatTimeValue(start) + s.text;
            r.notes.push_back({start, end - start, s.pitch, s.kind, index, l.singer});
        }
        const Syllable& last = l.syllables.back();
        text += formatTimeValue(timing.at(std::min(last.beat + last.length, kMostBeats)));
        r.lines.push_back(std::move(text));
    }
    return r;
}

std::string ultraStarAudioPath(const std::string& songFile, std::string_view audioName,
                               std::string& why) {
    std::string name(trimmed(audioName));
    // Songs written on Windows part their folders with "\".
    std::replace(name.begin(), name.end(), '\\', '/');
    if (name.empty()) {
        why = "no #AUDIO or #MP3 header names the song's audio file";
        return {};
    }
    bool climbs = name[0] == '/' || (name.size() > 1 && name[1] == ':');
    for (std::size_t from = 0; from <= name.size() && !climbs;) {
        std::size_t slash = name.find('/', from);
        if (slash == std::string::npos) slash = name.size();
        climbs = name.compare(from, slash - from, "..") == 0 && slash - from == 2;
        from = slash + 1;
    }
    if (climbs) {
        why = "the audio file '" + name +
              "' lies outside the song's folder; only a file in it "
              "or below it is played";
        return {};
    }
    return folderPart(songFile) + name;
}

}  // namespace orba
