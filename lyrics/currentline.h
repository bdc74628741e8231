// The current line of a frame: the texts of the current, previous and next
// line as shown (kept in caches that are refilled only when the line, the
// overlay or the song changes), and the values the wipe and the layout draw
// the current line with.
#pragma once

#include <string>
#include <vector>

#include "lyrics/karaokeparse.h"
#include "lyrics/timeline.h"
#include "platform/raster.h"
#include "platform/textencoding.h"

namespace orba {

// Live as long as the program: a song load does not clear them, so before
// the first line of a song they still hold the last line drawn.
struct LineCaches {
    std::string currentRaw;  // without its colour tag, other tags kept
    std::string currentText;
    Colour currentColour = 0;
    std::string previousText;
    Colour previousColour = 0;
    std::string nextText;
    Colour nextColour = 0;
    int fetchedLine = -1;
    bool fetchedOverlay = false;
    int fetchedSongLength = 0;
};

struct LineCacheKey {
    int currentLine = -1;
    bool overlay = false;  // the debug or time-edit overlay is on
    bool timeEditMode = false;
    int songLength = 0;
    TextEncoding encoding = TextEncoding::ShiftJis;  // of the song's lines
};

// Refills the caches when the key changed; currentLine must index lyricLines.
void refreshLineCaches(LineCaches& caches, const std::vector<std::string>& lyricLines,
                       const LineCacheKey& key);

struct CurrentLineInput {
    int tagType = 0;
    bool timeForce = true;
    bool noKaraoke = false;
    bool timeEditMode = false;
    int lyricTime = 0;
    TimelineStep timeline;
    TextEncoding encoding = TextEncoding::ShiftJis;
};

struct CurrentLineValues {
    LineMotion motion;
    KaraokeParse karaoke;  // sungText, doneText, restText, segmentProgress
    bool karaokeOn = false;
};

// Karaoke parse, entry and exit, progress and the even wipe of time-tagged
// lines, in that order.
CurrentLineValues currentLineValues(const LineCaches& caches, const CurrentLineInput& in);

}  // namespace orba
