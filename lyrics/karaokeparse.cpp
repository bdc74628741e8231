#include "lyrics/karaokeparse.h"

#include <algorithm>

#include "lyrics/sjistext.h"
#include "lyrics/timevalue.h"

// The walk keeps a running time c that karaoke tags set and waits advance;
// the first segment boundary after `now` is the segment being sung. Tags are
// never shown; their names and arguments are collected byte by byte, and the
// flags say which of name, bracket argument or wait digit is being read.
// Running times are 64-bit and held within the int range, so that lines full
// of huge waits cannot overflow the progress arithmetic. The done text is
// always a prefix of cur, so it is kept as a length: a long line with many
// segments is parsed in linear time.

namespace orba {

namespace {

bool isBlankOrControl(char c) {
    return static_cast<unsigned char>(c) <= ' ';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && isBlankOrControl(s.front())) s.remove_prefix(1);
    while (!s.empty() && isBlankOrControl(s.back())) s.remove_suffix(1);
    return s;
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "mm", "ss", "cc" at the given offsets of a time value, as milliseconds.
long long fieldsTime(std::string_view s, std::size_t mm, std::size_t ss, std::size_t cc) {
    return decimalOrZero(s.substr(mm, 2)) * 60000LL + decimalOrZero(s.substr(ss, 2)) * 1000LL +
           decimalOrZero(s.substr(cc, 2)) * 10LL;
}

long long held(long long ms) {
    return clampMs(ms);
}

}  // namespace

KaraokeParse parseKaraokeLine(int now, std::string_view line, int nextLineTime, TextEncoding e) {
    KaraokeParse r;
    std::string_view s = trimmed(line);
    if (!beginsWithTimeValue(s)) {
        r.restText = std::string(s);
        return r;
    }
    const long long start = fieldsTime(s, 1, 4, 7);
    r.timingKind = 1;

    long long c = start;
    long long segStart = start;
    std::string cur, name, arg;
    cur.reserve(s.size());
    std::size_t done = 0;      // cur.substr(0, done) is the done text
    std::size_t doneText = 0;  // the same for the result's doneText
    bool inName = false, inBracket = false, inWait = false, found = false;

    for (std::size_t i = 10; i < s.size(); ++i) {
        char ch = s[i];
        bool again = true;
        while (again) {
            again = false;
            if (ch == '\\') {
                inName = true;
                name.clear();
            } else if (ch == '[') {
                inName = false;
                inBracket = true;
                arg.clear();
            } else if ((ch == ']' && inBracket) || inWait) {
                if (!name.empty()) {
                    if (r.timingKind == 1) r.timingKind = 3;
                    if (name == "_w") c = held(c + decimalOrZero(arg));
                } else if (arg.size() == 8) {
                    if (r.timingKind == 1) r.timingKind = 2;
                    c = fieldsTime(arg, 0, 3, 6);
                }
                if (inWait) {
                    if (r.timingKind == 1) r.timingKind = 4;
                    c = held(c + decimalOrZero(arg) * 60LL);
                    if (i + 2 < s.size() && s[i + 1] == '\\' && s[i + 2] == 'w') {
                        segStart = c;
                        continue;
                    }
                }
                if (now < c && !found) {
                    found = true;
                    if (segStart < c && segStart < now) {
                        long long p = (now - segStart) * 10000 / (c - segStart);
                        r.segmentProgress = (p < 0 || p > 10000) ? 0 : static_cast<int>(p);
                    }
                }
                doneText = done;
                if (done != cur.size() && !found) {
                    done = cur.size();
                    segStart = c;
                }
                inBracket = false;
                inWait = false;
            } else if (inBracket) {
                arg += ch;
            } else if (!inName) {
                if (name == "w" && isDigit(ch)) {
                    inName = false;
                    name.clear();
                    inWait = true;
                    arg.assign(1, ch);
                    again = true;
                    continue;
                }
                std::string& text = found ? r.restText : cur;
                std::size_t len = textCharLength(s, i, e);
                text.append(s.substr(i, len));
                i += len - 1;
            } else {
                name += ch;
                if ((ch >= 'a' && ch <= 'z') || isDigit(ch)) inName = false;
            }
        }
    }

    if (!found) {
        if (r.timingKind < 2) {
            r.segmentProgress = 0;
        } else {
            long long span = nextLineTime - segStart;
            if (r.timingKind <= 3) {
                doneText = done;
                span = std::min(span, 3000LL);
            }
            // Karaoke tags out of order can leave `now` before the segment
            // start; that is no progress rather than a negative one.
            r.segmentProgress =
                span <= 0
                    ? 0
                    : static_cast<int>(std::clamp((now - segStart) * 15000 / span, 0LL, 10000LL));
        }
    }
    r.doneText = cur.substr(0, doneText);
    r.sungText = std::move(cur);
    return r;
}

}  // namespace orba
