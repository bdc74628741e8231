// The lyric lines near the bottom of the window: the current line in the
// lyric font, moving in and out by the wipe style, the next line below it and,
// in the overlays, the previous line above it, with the markers that show
// blank lines and the ends of the text.
#pragma once

#include "lyrics/currentline.h"
#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "settings/settings.h"

namespace orba {

inline constexpr const char* kBlankLineMarker = "*BlankLine*";
inline constexpr const char* kTextEndMarker = "*TextEnd*";
inline constexpr const char* kTextTopMarker = "*TextTop*";
inline constexpr Colour kBlankLineColour = 0x00FF00;
inline constexpr Colour kTextEdgeColour = 0x0000FF;

// Top-left of the current line of width tw. Side style slides it in from the
// right and out to the left; up style raises it. A line wider than 90 % of
// the window scrolls left as it is sung.
Point currentLinePosition(const FrameValues& f, int wipeStyle, int tw, double lineShift,
                          int lineProgress);
// Top-left of the next and of the previous line.
Point nextLinePosition(const FrameValues& f, int tw, double lineShift);
Point previousLinePosition(const FrameValues& f, int tw, double lineShift);

// The pulsing red frame round the current line in the time-tag edit mode.
struct EditMarker {
    int editMarkLevel = 0;
    int editMarkStep = 40;
    // The next red level, one step per frame: 40, 80, ... 240, 255, 215, ... 15, 0, 40 ...
    int advance();
};

struct LineDrawInput {
    bool overlay = false;  // debug or time-edit overlay
    bool timeEditMode = false;
    bool shown = false;  // the lyric time is before the line end, or the edit mode is on
    int tagType = 0;
};

// The current line; sets editFrameDrawn in the edit mode.
void drawCurrentLine(Bitmap& back, const FrameValues& f, const Settings& s, LineCaches& caches,
                     const CurrentLineValues& v, bool overlay, bool timeEditMode,
                     EditMarker& marker, bool& editFrameDrawn);
// The next line (the overlay shows the end of the text as a marker).
void drawNextLine(Bitmap& back, const FrameValues& f, LineCaches& caches, int currentLine,
                  std::size_t lineCount, double lineShift, const LineDrawInput& in);
// The previous line, overlays only; the font size is still the next line's.
void drawPreviousLine(Bitmap& back, const FrameValues& f, LineCaches& caches, int currentLine,
                      double lineShift, const LineDrawInput& in);

}  // namespace orba
