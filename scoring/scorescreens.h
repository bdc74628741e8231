// What scoring adds to the frame, drawn only while it is on: the note lane
// above the lyrics (the current line's notes as bars, the sung pitch as a
// trace, the last line's rating and the running score) and, once the song
// is over, the results screen with the score out of 10,000.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "platform/raster.h"
#include "scoring/scorer.h"
#include "settings/settings.h"

namespace orba {

struct LaneView {
    std::vector<RefNote> notes;     // of the line being sung, keys already shifted
    std::vector<TracePoint> trace;  // within the line's time
    int fromMs = 0;                 // the lane's left and right edge, song time
    int toMs = 0;
    int nowMs = 0;        // the voice's time now (the delayed song time)
    bool pitched = true;  // false: timing only, bars at one height
    std::string rating;   // the last line's, shown for a while; "" none
    int total = 0;
    std::string label;  // the reference, in the debug overlay or a notice
};

// The band the lane takes: across the frame, above the previous line's place.
Rect noteLaneRect(const FrameValues& f);

// The lane for the line at `nowMs` of the scorer's notes (none: the next
// line's), with its trace; the key shift moves the notes.
LaneView laneViewAt(const Scorer& scorer, int nowMs, int keyShift);

void drawNoteLane(Bitmap& back, const FrameValues& f, const Settings& s, const LaneView& lane);

struct ResultsView {
    int total = 0;
    int best = -1;  // the best before this one; -1 none kept
    std::string reference;
    int perfect = 0, great = 0, good = 0, ok = 0, miss = 0;
};

ResultsView resultsOf(const Scorer& scorer, int best);

void drawScoreResults(Bitmap& back, const FrameValues& f, const Settings& s,
                      const ResultsView& results);

}  // namespace orba
