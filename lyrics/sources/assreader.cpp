#include "lyrics/sources/assreader.h"

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string_view>

#include "lyrics/sjistext.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/readertext.h"
#include "lyrics/timevalue.h"

// A save must find again, in the file's own bytes, every field and duration
// the reader took a time from; so the reader notes where each lies (a span of
// the file line) and the writer reads the file again the same way rather
// than keeping a second copy of its events.

namespace orba {

namespace {

// More digits than this in a number saturate it; no song lasts longer.
constexpr std::size_t kMostDigits = 9;

struct Span {
    std::size_t at = 0;
    std::size_t size = 0;
};

struct KaraokeMark {
    Span number;  // in the file line, sign and fraction included
    int cs = 0;   // as read, never below 0
};

struct Event {
    std::size_t fileLine = 0;
    int start = 0;
    int end = 0;
    bool hasEnd = false;
    Span startField, endField;
    std::string tagged;
    std::vector<KaraokeMark> marks;
};

// Where the fields of a dialogue line are; ASS's own order by default.
struct Layout {
    std::size_t start = 1, end = 2, text = 9, count = 10;
    bool hasEnd = true;
    bool usable = true;
};

struct Reading {
    std::vector<Event> events;  // in time order
    std::string title;
    std::string problem;
    std::vector<std::string> warnings;
};

// "name:" at the start of the line, any letter case; the rest after it.
bool startsWithName(std::string_view line, std::string_view name, std::string_view& rest) {
    if (line.size() < name.size() || asciiLower(line.substr(0, name.size())) != name) return false;
    rest = line.substr(name.size());
    return true;
}

// Digits at `at`, saturating; how many were read goes to `count`.
long long digitsValue(std::string_view s, std::size_t& at, std::size_t& count) {
    long long v = 0;
    count = 0;
    for (; at < s.size() && isDigit(s[at]); ++at, ++count)
        if (count < kMostDigits) v = v * 10 + (s[at] - '0');
    return v;
}

// "H:MM:SS.CC" (any number of digits in each field, the fraction optional
// and read to the millisecond) as milliseconds within the time values' range.
std::optional<int> parseAssTime(std::string_view text) {
    const std::string_view s = trimmed(text);
    std::size_t at = 0, n = 0;
    long long ms = 0;
    for (int field = 0; field < 3; ++field) {
        if (field > 0) {
            if (at >= s.size() || s[at] != ':') return std::nullopt;
            ++at;
        }
        const long long v = digitsValue(s, at, n);
        if (n == 0) return std::nullopt;
        ms = std::min(ms * 60 + v, 1LL << 40);
    }
    ms *= 1000;
    if (at < s.size() && s[at] == '.') {
        ++at;
        const std::size_t from = at;
        for (long long scale = 100; at < s.size() && isDigit(s[at]); ++at, scale /= 10)
            ms += (s[at] - '0') * scale;
        if (at == from) return std::nullopt;
    }
    if (at != s.size()) return std::nullopt;
    return heldTime(ms);
}

std::string assTime(int ms) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d.%02d", ms / 3600000, ms / 60000 % 60,
                  ms / 1000 % 60, ms / 10 % 100);
    return buf;
}

Layout layoutOf(std::string_view formatFields) {
    Layout l;
    l.usable = false;
    l.hasEnd = false;
    bool start = false, text = false;
    std::size_t index = 0;
    for (std::size_t from = 0;; ++index) {
        const std::size_t comma = formatFields.find(',', from);
        const std::string name = asciiLower(trimmed(formatFields.substr(from, comma - from)));
        if (name == "start") l.start = index, start = true;
        if (name == "end") l.end = index, l.hasEnd = true;
        if (name == "text") l.text = index, text = true;
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    l.count = index + 1;
    l.usable = start && text;
    return l;
}

// The spans of the fields of a dialogue line's value, which begins at
// `from`: the last field takes the rest of the line, commas and all.
std::vector<Span> fieldSpans(std::string_view line, std::size_t from, std::size_t count) {
    std::vector<Span> spans;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t comma = i + 1 < count ? line.find(',', from) : std::string_view::npos;
        const std::size_t end = comma == std::string_view::npos ? line.size() : comma;
        spans.push_back({from, end - from});
        if (comma == std::string_view::npos) break;
        from = comma + 1;
    }
    return spans;
}

// The karaoke durations of one override block, the block without its braces
// at `from` in `line`.
void readBlock(std::string_view line, std::size_t from, std::size_t to,
               std::vector<KaraokeMark>& marks) {
    // Looked for within the block only: a line of many blocks stays one pass.
    const std::string_view block = line.substr(0, to);
    for (std::size_t j = block.find('\\', from); j < to; j = block.find('\\', j + 1)) {
        std::size_t p = j + 1;
        if (p >= to || (line[p] != 'k' && line[p] != 'K')) continue;
        const bool small = line[p] == 'k';
        ++p;
        if (small && p < to && (line[p] == 'f' || line[p] == 'o')) ++p;
        const std::size_t numberAt = p;
        const bool negative = p < to && line[p] == '-';
        if (negative) ++p;
        std::size_t digits = 0;
        const long long v = digitsValue(line.substr(0, to), p, digits);
        if (digits == 0) continue;
        if (p < to && line[p] == '.') {
            ++p;
            std::size_t fraction = 0;
            digitsValue(line.substr(0, to), p, fraction);
        }
        marks.push_back({{numberAt, p - numberAt}, negative ? 0 : static_cast<int>(v)});
    }
}

// The text of a dialogue line from `at` on as a tagged line from `start`.
std::string taggedLine(std::string_view line, std::size_t at, int start, TextEncoding e,
                       std::vector<KaraokeMark>& marks) {
    std::string out = formatTimeValue(start);
    out.reserve(out.size() + line.size() - at);
    long long running = start;
    // Once a "{" finds no "}" after it, no later one will: a line of many
    // "{" stays one pass.
    bool unclosed = false;
    while (at < line.size()) {
        const char c = line[at];
        if (c == '{' && !unclosed) {
            const std::size_t close = sjisFind(line, '}', at + 1, e);
            unclosed = close == std::string_view::npos;
            if (!unclosed) {
                const std::size_t before = marks.size();
                readBlock(line, at + 1, close, marks);
                for (std::size_t k = before; k < marks.size(); ++k) {
                    out += formatTimeValue(heldTime(running));
                    running = heldTime(running + marks[k].cs * 10LL);
                }
                at = close + 1;
                continue;
            }
        }
        if (c == '\\' && at + 1 < line.size() &&
            (line[at + 1] == 'N' || line[at + 1] == 'n' || line[at + 1] == 'h')) {
            out += ' ';
            at += 2;
            continue;
        }
        const std::size_t len = textCharLength(line, at, e);
        out.append(line.substr(at, len));
        at += len;
    }
    if (!marks.empty()) out += formatTimeValue(heldTime(running));
    return out;
}

Reading readEvents(const std::vector<std::string>& fileLines, TextEncoding e) {
    Reading r;
    std::string section;
    bool eventsSeen = false;
    Layout layout;
    std::size_t badStarts = 0, longTexts = 0;
    std::string firstBadStart, firstLongText;
    for (std::size_t i = 0; i < fileLines.size(); ++i) {
        std::string_view line = trimmed(fileLines[i]);
        if (i == 0 && line.substr(0, 3) == "\xEF\xBB\xBF") line.remove_prefix(3);
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = asciiLower(line.substr(1, line.size() - 2));
            eventsSeen = eventsSeen || section == "events";
            continue;
        }
        std::string_view rest;
        if (section == "script info" && startsWithName(line, "title:", rest)) {
            r.title = std::string(trimmed(rest));
            continue;
        }
        if (section != "events") continue;
        if (startsWithName(line, "format:", rest)) {
            layout = layoutOf(rest);
            continue;
        }
        if (!startsWithName(line, "dialogue:", rest) || !layout.usable) continue;
        const std::string& raw = fileLines[i];
        const auto valueAt = static_cast<std::size_t>(rest.data() - raw.data());
        const std::vector<Span> fields = fieldSpans(raw, valueAt, layout.count);
        if (fields.size() <= std::max(layout.start, layout.text)) continue;
        Event ev;
        ev.fileLine = i;
        ev.startField = fields[layout.start];
        const std::string_view startText =
            std::string_view(raw).substr(ev.startField.at, ev.startField.size);
        const std::optional<int> start = parseAssTime(startText);
        if (!start) {
            if (!badStarts++)
                firstBadStart = "line " + std::to_string(i + 1) + ": the start time '" +
                                quotedPart(trimmed(startText), e) +
                                "' cannot be read; the line is passed over";
            continue;
        }
        ev.start = *start;
        if (layout.hasEnd && layout.end < fields.size()) {
            ev.endField = fields[layout.end];
            if (const std::optional<int> end =
                    parseAssTime(std::string_view(raw).substr(ev.endField.at, ev.endField.size))) {
                ev.end = *end;
                ev.hasEnd = true;
            }
        }
        // The text field ends the line when the format says so; a field
        // before others ends at its comma.
        const Span text = fields[layout.text];
        std::string_view textLine = std::string_view(raw).substr(0, text.at + text.size);
        if (text.size > kMaxLyricLineBytes) {
            if (!longTexts++)
                firstLongText = "line " + std::to_string(i + 1) + " holds " +
                                std::to_string(text.size) + " bytes of text; only the first " +
                                std::to_string(kMaxLyricLineBytes) + " are read";
            textLine = textLine.substr(
                0, text.at + wholeCharsPrefix(textLine.substr(text.at), kMaxLyricLineBytes, e));
        }
        ev.tagged = taggedLine(textLine, text.at, ev.start, e, ev.marks);
        r.events.push_back(std::move(ev));
    }
    std::stable_sort(r.events.begin(), r.events.end(),
                     [](const Event& a, const Event& b) { return a.start < b.start; });
    if (badStarts) r.warnings.push_back(firstOfCuts(firstBadStart, badStarts));
    if (longTexts) r.warnings.push_back(firstOfCuts(firstLongText, longTexts));
    if (!eventsSeen)
        r.problem = "no [Events] section in the subtitle file";
    else if (r.events.empty() && !layout.usable)
        r.problem = "the [Events] format names no Start or no Text field";
    else if (r.events.empty())
        r.problem = "no Dialogue line in the subtitle file's [Events]";
    return r;
}

// The karaoke tags after the leading time value, in milliseconds.
std::vector<int> innerTimes(std::string_view line, TextEncoding e) {
    std::vector<int> times;
    for (std::size_t at = sjisFind(line, '[', 10, e); at != std::string_view::npos;
         at = sjisFind(line, '[', at + 1, e))
        if (isTimeValueText(line.substr(at, 10))) times.push_back(readTimeValue(line.substr(at)));
    return times;
}

struct Edit {
    Span span;
    std::string text;
};

std::string rewritten(const std::string& fileLine, const Event& ev, std::string_view tagged,
                      TextEncoding e) {
    std::vector<Edit> edits;
    const int start = heldTime(readTimeValue(tagged));
    if (start != ev.start) edits.push_back({ev.startField, assTime(start)});
    if (ev.hasEnd && ev.end < start)
        edits.push_back({ev.endField, assTime(heldTime(start + std::max(0, ev.end - ev.start)))});
    const std::vector<int> times = innerTimes(tagged, e);
    if (times.size() == ev.marks.size() + 1) {
        for (std::size_t k = 0; k < ev.marks.size(); ++k) {
            const int from = k == 0 ? start : times[k];
            const int cs = std::max(0, times[k + 1] - from) / 10;
            if (cs != ev.marks[k].cs) edits.push_back({ev.marks[k].number, std::to_string(cs)});
        }
    }
    // From the back, so that the spans before stay where they were.
    std::sort(edits.begin(), edits.end(),
              [](const Edit& a, const Edit& b) { return a.span.at > b.span.at; });
    std::string out = fileLine;
    for (const Edit& edit : edits) {
        // A field keeps the blanks around its time.
        std::string_view field = std::string_view(out).substr(edit.span.at, edit.span.size);
        const std::size_t lead = field.find_first_not_of(" \t");
        const std::size_t inner = lead == std::string_view::npos ? 0 : lead;
        const std::size_t size = trimmed(field.substr(inner)).size();
        out.replace(edit.span.at + inner, size, edit.text);
    }
    return out;
}

}  // namespace

AssText readAss(const std::vector<std::string>& fileLines, TextEncoding e) {
    Reading r = readEvents(fileLines, e);
    AssText a;
    a.title = std::move(r.title);
    a.problem = std::move(r.problem);
    a.warnings = std::move(r.warnings);
    a.lines.reserve(r.events.size());
    for (Event& ev : r.events) {
        a.karaoke = a.karaoke || !ev.marks.empty();
        a.lines.push_back(std::move(ev.tagged));
    }
    return a;
}

std::vector<std::string> assFileLines(const std::vector<std::string>& lyricLines,
                                      const std::vector<std::string>& fileLines, TextEncoding e) {
    std::vector<std::string> out = fileLines;
    const Reading r = readEvents(fileLines, e);
    for (std::size_t i = 0; i < r.events.size() && i + 1 < lyricLines.size(); ++i) {
        const Event& ev = r.events[i];
        const std::string& line = lyricLines[i];
        if (line == ev.tagged || !beginsWithTimeValue(line)) continue;
        out[ev.fileLine] = rewritten(fileLines[ev.fileLine], ev, line, e);
    }
    return out;
}

}  // namespace orba
