#include "lyrics/sources/lrcreader.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "lyrics/lyricload.h"
#include "lyrics/sjistext.h"
#include "lyrics/sources/lyricbounds.h"
#include "lyrics/sources/readertext.h"
#include "lyrics/timevalue.h"

namespace orba {

namespace {

bool isLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
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

// The longest time a bracket can hold, "mmm:ss.xxx": the closing bracket is
// looked for no further, so a text of many "<" stays one pass.
constexpr std::size_t kLongestTime = 10;

// The word times of the text, "<mm:ss.xx>" and "[mm:ss.xx]" alike, as
// karaoke tags moved by `shift` ms. Other brackets stay as they are.
std::string tagWordTimes(std::string_view text, long long shift, TextEncoding e, bool& found) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t open;
         (open = sjisFindEither(text, '<', '[', pos, e)) != std::string_view::npos;) {
        const std::string_view near = text.substr(0, open + 2 + kLongestTime);
        const std::size_t close = sjisFind(near, text[open] == '<' ? '>' : ']', open + 1, e);
        std::optional<int> t;
        if (close != std::string_view::npos)
            t = parseLrcTime(text.substr(open + 1, close - open - 1));
        out.append(text.substr(pos, open - pos));
        if (t) {
            out += formatTimeValue(heldTime(*t + shift));
            found = true;
            pos = close + 1;
        } else {
            out += text[open];
            pos = open + 1;
        }
    }
    out.append(text.substr(pos));
    return out;
}

// A line of the file as read: where its line times (the first
// kMaxLrcTimesPerLine) lie in the list of all times, and its text. Small, as
// a file may have millions of lines.
struct FileLine {
    std::size_t index = 0;  // in the file's lines
    std::string_view text;  // trimmed, after the times
    std::uint32_t firstTime = 0;
    std::uint32_t timeCount = 0;
};

// The cuts of one kind: how many lines, and the first of them.
struct Cut {
    std::size_t lines = 0;
    std::size_t firstLine = 0;
    std::size_t firstAmount = 0;

    void add(std::size_t line, std::size_t amount) {
        if (!lines++) firstLine = line, firstAmount = amount;
    }
    // "line 3 has 150 line times; only the first 100 are read".
    void report(std::vector<std::string>& warnings, std::string_view verb, std::string_view what,
                std::size_t most) const {
        if (!lines) return;
        warnings.push_back(firstOfCuts("line " + std::to_string(firstLine) + " " +
                                           std::string(verb) + " " + std::to_string(firstAmount) +
                                           " " + std::string(what) + "; only the first " +
                                           std::to_string(most) + " are read",
                                       lines));
    }
};

// Reads the times of one line of the file into `times` and its text into
// `f`; true for a header line, which goes to `r` instead.
bool readFileLine(std::string_view raw, TextEncoding e, FileLine& f, std::vector<int>& times,
                  std::size_t& timesRead, LrcText& r) {
    std::string_view line = trimmed(raw);
    f.firstTime = static_cast<std::uint32_t>(times.size());
    while (!line.empty() && line[0] == '[') {
        const std::size_t close = sjisFind(line, ']', 0, e);
        if (close == std::string_view::npos) break;
        const std::string_view inside = line.substr(1, close - 1);
        if (std::optional<int> t = parseLrcTime(inside)) {
            if (f.timeCount < kMaxLrcTimesPerLine) times.push_back(*t), ++f.timeCount;
            ++timesRead;
            line = trimmed(line.substr(close + 1));
            continue;
        }
        std::string name;
        std::string_view value;
        if (timesRead == 0 && headerTag(inside, name, value)) {
            r.headerLines.push_back(std::string(raw));
            if (name == "ti") r.title = value;
            if (name == "ar") r.artist = value;
            if (name == "offset") r.offsetMs = decimalOrZero(std::string(value));
            return true;
        }
        break;
    }
    f.text = line;
    return false;
}

// Puts the lines made in file order into time order, a line's copies and
// lines of one time in the order they were made, and the kept lines, whose
// `after` counts lines made, after the same lines in their new places.
void sortByTime(LrcText& r, const std::vector<long long>& times) {
    if (std::is_sorted(times.begin(), times.end())) return;
    std::vector<std::size_t> order(times.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return times[a] < times[b]; });
    std::vector<std::string> sorted;
    sorted.reserve(order.size());
    std::vector<std::size_t> shownAt(order.size());
    for (std::size_t i : order) {
        shownAt[i] = sorted.size();
        sorted.push_back(std::move(r.lines[i]));
    }
    r.lines = std::move(sorted);
    for (KeptLine& k : r.keptLines)
        if (k.after > 0) k.after = shownAt[k.after - 1] + 1;
    std::stable_sort(r.keptLines.begin(), r.keptLines.end(),
                     [](const KeptLine& a, const KeptLine& b) { return a.after < b.after; });
}

// One lyric line in LRC form: only a line that begins with a time value was
// turned from LRC, so only such a line is turned back.
std::string lrcLine(std::string_view line, int offsetMs, TextEncoding e) {
    if (!isTimeValueText(line.substr(0, 10))) return std::string(line);
    const auto fileTime = [&](std::string_view value) {
        return heldTime(static_cast<long long>(readTimeValue(value)) + offsetMs);
    };
    std::string text = lrcTime(fileTime(line), '[', ']');
    line.remove_prefix(10);
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
    return text;
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
    std::vector<FileLine> read;
    std::vector<int> fileTimes;
    Cut manyTimes, longText;
    for (std::size_t i = 0; i < fileLines.size(); ++i) {
        FileLine f;
        f.index = i;
        std::size_t timesRead = 0;
        if (readFileLine(fileLines[i], e, f, fileTimes, timesRead, r)) continue;
        if (timesRead > kMaxLrcTimesPerLine) manyTimes.add(i + 1, timesRead);
        if (f.timeCount > 0 || !f.text.empty()) read.push_back(f);
    }
    const bool anyTime = !fileTimes.empty();

    // Lines are made in file order; a kept line's `after` first counts them.
    std::vector<long long> times;  // of each line made; -1 for a file without times
    std::size_t total = 0, leftOut = 0, firstLeftOut = 0, lastMade = 0;
    const auto make = [&](long long time, std::string text, std::size_t index) {
        if (leftOut || text.size() > kMaxLyricTextBytes - total) {
            if (!leftOut++) firstLeftOut = index + 1;
            return;
        }
        total += text.size();
        times.push_back(time);
        r.lines.push_back(std::move(text));
    };
    for (const FileLine& f : read) {
        std::string_view text = f.text;
        if (anyTime ? f.timeCount == 0 : isNonLyricLine(text)) {
            r.keptLines.push_back({lastMade, fileLines[f.index]});
            continue;
        }
        if (text.size() > kMaxLyricLineBytes) {
            longText.add(f.index + 1, text.size());
            text = text.substr(0, wholeCharsPrefix(text, kMaxLyricLineBytes, e));
        }
        const std::size_t first = r.lines.size();
        if (!anyTime) make(-1, std::string(text), f.index);
        for (std::uint32_t k = 0; k < f.timeCount; ++k) {
            if (leftOut) {
                ++leftOut;
                continue;
            }
            const long long t = fileTimes[f.firstTime + k];
            const int shown = heldTime(t - r.offsetMs);
            const long long shift = t - fileTimes[f.firstTime] - r.offsetMs;
            make(shown, formatTimeValue(shown) + tagWordTimes(text, shift, e, r.wordTimes),
                 f.index);
        }
        if (r.lines.size() > first) lastMade = first + 1;
    }
    sortByTime(r, times);

    manyTimes.report(r.warnings, "has", "line times", kMaxLrcTimesPerLine);
    longText.report(r.warnings, "holds", "bytes of text", kMaxLyricLineBytes);
    if (leftOut)
        r.warnings.push_back("the lyric text is cut at " + std::to_string(kMaxLyricTextBytes) +
                             " bytes: " + std::to_string(leftOut) + " lyric lines from line " +
                             std::to_string(firstLeftOut) + " of the file on are left out");
    return r;
}

std::vector<std::string> lrcFileLines(const std::vector<std::string>& lyricLines,
                                      const LyricForm& form) {
    std::vector<std::string> out = form.headerLines;
    const std::vector<KeptLine>& kept = form.keptLines;
    std::size_t k = 0;
    const auto keptUpTo = [&](std::size_t lines) {
        for (; k < kept.size() && kept[k].after <= lines; ++k) out.push_back(kept[k].text);
    };
    keptUpTo(0);
    for (std::size_t i = 0; i + 1 < lyricLines.size(); ++i) {
        out.push_back(lrcLine(lyricLines[i], form.offsetMs, form.encoding));
        keptUpTo(i + 1);
    }
    keptUpTo(std::numeric_limits<std::size_t>::max());
    return out;
}

std::string lrcLineTime(std::string_view timeValue, int offsetMs) {
    return lrcTime(heldTime(static_cast<long long>(readTimeValue(timeValue)) + offsetMs), '[', ']');
}

}  // namespace orba
