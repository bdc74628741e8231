#include "lyrics/sources/lrcreader.h"

#include <algorithm>
#include <cstdio>

#include "lyrics/sjistext.h"
#include "lyrics/timevalue.h"

namespace orba {

namespace {

// The largest time a ten-character time value can hold.
constexpr int kLastTimeValue = 99 * 60000 + 59 * 1000 + 990;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::size_t digitsAt(std::string_view s, std::size_t at, std::size_t most) {
    std::size_t n = 0;
    while (at + n < s.size() && n < most && isDigit(s[at + n])) ++n;
    return n;
}

int number(std::string_view digits) {
    int v = 0;
    for (char c : digits) v = v * 10 + (c - '0');
    return v;
}

int heldTime(long long ms) {
    return static_cast<int>(std::clamp<long long>(ms, 0, kLastTimeValue));
}

std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    return out;
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
    return s;
}

// "[name:value]" with a name of letters, or one starting with "#".
bool headerTag(std::string_view inside, std::string& name, std::string_view& value) {
    const std::size_t colon = inside.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view n = inside.substr(0, colon);
    if (n[0] != '#' && !std::all_of(n.begin(), n.end(), isLetter)) return false;
    name = asciiLower(n);
    value = trimmed(inside.substr(colon + 1));
    return true;
}

// The "<mm:ss.xx>" word times of the text as karaoke tags, each moved by
// `shift` ms. Other "<" stay as they are.
std::string convertWordTimes(std::string_view text, long long shift, bool& found) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    // "<" and ">" are below every second byte of a Shift-JIS character, so a
    // byte search finds only the characters themselves.
    for (std::size_t open; (open = text.find('<', pos)) != std::string_view::npos;) {
        const std::size_t close = text.find('>', open + 1);
        if (close == std::string_view::npos) break;
        const std::optional<int> t = parseLrcTime(text.substr(open + 1, close - open - 1));
        out.append(text.substr(pos, open - pos));
        if (t) {
            out += formatTimeValue(heldTime(*t + shift));
            found = true;
        } else {
            out.append(text.substr(open, close + 1 - open));
        }
        pos = close + 1;
    }
    out.append(text.substr(pos));
    return out;
}

struct Entry {
    long long time;  // sort key; the line's own time when `timed`
    bool timed;
    std::string text;
};

bool isTimeValueText(std::string_view s) {
    return s.size() == 10 && s[0] == '[' && isDigit(s[1]) && isDigit(s[2]) && s[3] == ':' &&
           isDigit(s[4]) && isDigit(s[5]) && s[6] == ':' && isDigit(s[7]) && isDigit(s[8]) &&
           s[9] == ']';
}

}  // namespace

std::string lrcTime(long long ms, char open, char close) {
    const int held = heldTime(ms);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%c%02d:%02d.%02d%c", open, held / 60000, held / 1000 % 60,
                  held / 10 % 100, close);
    return buf;
}

std::optional<int> parseLrcTime(std::string_view s) {
    const std::size_t m = digitsAt(s, 0, 4);
    if (m < 1 || m > 3 || m >= s.size() || s[m] != ':') return std::nullopt;
    const std::size_t sec = digitsAt(s, m + 1, 3);
    if (sec < 1 || sec > 2) return std::nullopt;
    std::size_t at = m + 1 + sec;
    long long ms = number(s.substr(0, m)) * 60000LL + number(s.substr(m + 1, sec)) * 1000LL;
    if (at < s.size()) {
        if (s[at] != '.' && s[at] != ':') return std::nullopt;
        const std::size_t frac = digitsAt(s, at + 1, 4);
        if (frac < 1 || frac > 3 || at + 1 + frac != s.size()) return std::nullopt;
        const int f = number(s.substr(at + 1, frac));
        ms += frac == 1 ? f * 100 : frac == 2 ? f * 10 : f;
    }
    return static_cast<int>(ms);
}

bool hasLrcLineTimes(const std::vector<std::string>& lines) {
    for (const std::string& raw : lines) {
        std::string_view line = trimmed(raw);
        if (line.empty() || line[0] != '[') continue;
        const std::size_t close = line.find(']');
        if (close != std::string_view::npos && parseLrcTime(line.substr(1, close - 1))) return true;
    }
    return false;
}

LrcText readLrc(const std::vector<std::string>& fileLines, TextEncoding e) {
    LrcText r;
    std::vector<Entry> entries;
    struct Pending {
        std::vector<int> times;
        std::string_view text;
    };
    std::vector<Pending> pending;
    pending.reserve(fileLines.size());

    for (const std::string& raw : fileLines) {
        std::string_view line = trimmed(raw);
        Pending p;
        bool header = false;
        while (!line.empty() && line[0] == '[') {
            const std::size_t close = sjisFind(line, ']', 0, e);
            if (close == std::string_view::npos) break;
            const std::string_view inside = line.substr(1, close - 1);
            if (std::optional<int> t = parseLrcTime(inside)) {
                p.times.push_back(*t);
                line = trimmed(line.substr(close + 1));
                continue;
            }
            std::string name;
            std::string_view value;
            if (p.times.empty() && headerTag(inside, name, value)) {
                header = true;
                r.headerLines.push_back(raw);
                if (name == "ti") r.title = value;
                if (name == "ar") r.artist = value;
                if (name == "offset") r.offsetMs = decimalOrZero(std::string(value));
            }
            break;
        }
        if (header || (p.times.empty() && line.empty())) continue;
        p.text = line;
        pending.push_back(std::move(p));
    }

    long long lastTime = -1;
    for (const Pending& p : pending) {
        if (p.times.empty()) {
            entries.push_back({lastTime, false, std::string(p.text)});
            continue;
        }
        for (int t : p.times) {
            const int shown = heldTime(static_cast<long long>(t) - r.offsetMs);
            const long long shift = static_cast<long long>(t) - p.times.front() - r.offsetMs;
            entries.push_back(
                {shown, true,
                 formatTimeValue(shown) + convertWordTimes(p.text, shift, r.wordTimes)});
        }
        lastTime = heldTime(static_cast<long long>(p.times.front()) - r.offsetMs);
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const Entry& a, const Entry& b) { return a.time < b.time; });
    r.lines.reserve(entries.size());
    for (Entry& entry : entries) r.lines.push_back(std::move(entry.text));
    return r;
}

std::vector<std::string> lrcFileLines(const std::vector<std::string>& lyricLines,
                                      const std::vector<std::string>& headerLines, int offsetMs,
                                      TextEncoding e) {
    std::vector<std::string> out = headerLines;
    const auto fileTime = [&](std::string_view value) {
        return heldTime(static_cast<long long>(readTimeValue(value)) + offsetMs);
    };
    for (std::size_t i = 0; i + 1 < lyricLines.size(); ++i) {
        std::string_view line = lyricLines[i];
        std::string text;
        if (beginsWithTimeValue(line)) {
            text = lrcTime(fileTime(line), '[', ']');
            line.remove_prefix(10);
        }
        std::size_t pos = 0;
        for (std::size_t open; (open = sjisFind(line, '[', pos, e)) != std::string_view::npos;) {
            text.append(line.substr(pos, open - pos));
            const std::string_view tag = line.substr(open, 10);
            if (isTimeValueText(tag)) {
                text += lrcTime(fileTime(tag), '<', '>');
                pos = open + 10;
            } else {
                text += '[';
                pos = open + 1;
            }
        }
        text.append(line.substr(pos));
        out.push_back(std::move(text));
    }
    return out;
}

}  // namespace orba
