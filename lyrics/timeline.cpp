#include "lyrics/timeline.h"

#include <algorithm>
#include <cmath>

#include "lyrics/timevalue.h"

namespace orba {

int lyricTimeOf(int songTime, float timeRatio, int textTiming) {
    const double t = std::trunc(static_cast<double>(songTime) * static_cast<double>(timeRatio) -
                                static_cast<double>(textTiming));
    // A wild ratio must not overflow the clock: it saturates instead.
    if (!(t > -2147483648.0)) return t != t ? 0 : -2147483647 - 1;
    if (t > 2147483647.0) return 2147483647;
    return static_cast<int>(t);
}

int leadTimeOf(const std::string& timeValue) {
    return std::max(0, readTimeValue(timeValue) - kLineLead);
}

TimelineStep stepTimeline(int currentLine, int lyricTime,
                          const std::vector<std::string>& lineTimes) {
    TimelineStep s;
    const long long count = static_cast<long long>(lineTimes.size());
    if (currentLine > 0 && currentLine < count) s.lineStart = leadTimeOf(lineTimes[currentLine]);
    if (currentLine + 1LL < count) {
        s.lineEnd = leadTimeOf(lineTimes[currentLine + 1]);
        if (lyricTime >= s.lineEnd) ++currentLine;
    }
    if (currentLine > 0 && lyricTime < s.lineStart) --currentLine;
    s.lineDuration = s.lineEnd - s.lineStart;
    s.currentLine = currentLine;
    return s;
}

LineMotion lineMotion(int lineStart, int lineEnd, int lineDuration, int lyricTime,
                      bool timeEditMode) {
    LineMotion m;
    m.transitionTime = std::min(lineDuration / 10, 300);
    const double t = m.transitionTime;
    if (t > 0 && !timeEditMode) {
        if (lineStart + t >= lyricTime) {
            m.lineOpacity = (static_cast<double>(lyricTime) - lineStart) * 100 / t;
            m.lineShift = (100 - m.lineOpacity) * 0.01;
        }
        if (lineEnd - t <= lyricTime) {
            m.lineOpacity = (static_cast<double>(lineEnd) - lyricTime) * 100 / t;
            m.lineShift = -(100 - m.lineOpacity) * 0.01;
            m.leaving = true;
        }
    }
    if (lineEnd > lineStart) {
        const double span = static_cast<double>(lineDuration) - 2 * t;
        const double p =
            std::trunc((static_cast<double>(lyricTime) - lineStart - t) * 10000 / span);
        m.lineProgress = static_cast<int>(std::clamp(p, 0.0, 10000.0));
    }
    return m;
}

}  // namespace orba
