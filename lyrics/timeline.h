// The lyric timeline of one frame: the lyric clock from the playback clock,
// which line is current, when it starts and ends, how far it has faded in or
// out, and how far through it the song is. Everything here is arithmetic on
// the frame's values, so the frame loop, the timeline tool and the tests all
// judge a moment the same way.
#pragma once

#include <string>
#include <vector>

namespace orba {

// A line shows this long before its time value, and hands over to the next
// this long before the next one's.
inline constexpr int kLineLead = 390;

// trunc(songTime x timeRatio - textTiming), the product in double precision.
int lyricTimeOf(int songTime, float timeRatio, int textTiming);

// Time of a "[mm:ss:cc]" entry minus the lead, at least 0.
int leadTimeOf(const std::string& timeValue);

struct TimelineStep {
    int lineStart = 0;
    int lineEnd = 0;
    int lineDuration = 0;  // of the line that was current before the step
    int currentLine = -1;  // after the step: at most one line forward or back
};

// One frame's step through the line times. The first line always starts at 0.
TimelineStep stepTimeline(int currentLine, int lyricTime,
                          const std::vector<std::string>& lineTimes);

struct LineMotion {
    double transitionTime = 0;  // ms of the entry and of the exit
    double lineOpacity = 100;   // percent
    double lineShift = 0;       // 1 -> 0 while entering, 0 -> -1 while leaving
    int lineProgress = 0;       // 0..10000 between the end of the entry and the start of the exit
    bool leaving = false;       // the exit transition applies
};

// The entry and exit of the current line; none in the time-tag edit mode.
LineMotion lineMotion(int lineStart, int lineEnd, int lineDuration, int lyricTime,
                      bool timeEditMode);

}  // namespace orba
