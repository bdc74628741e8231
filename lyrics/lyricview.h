// What the lyric steps read of the song being played and of the look, as the
// player has them this frame. The lines and the status text are the player's
// own, lent for the step; the rest are copies. Nothing here is written by the
// drawing: what it decides goes back to the player as a result.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

struct LyricView {
    const std::vector<std::string>& lyricLines;
    const std::vector<std::string>& lineTimes;
    const std::string& statusMessage;                // UTF-8, lines separated by "|"
    int statusTime = 0;                              // ms the status message is still shown
    TextEncoding encoding = TextEncoding::ShiftJis;  // of lyricLines
    int currentLine = -1;
    int tagType = 0;
    int songTime = 0;
    int songLength = 0;
    float timeRatio = 1.0f;
    bool timeEditMode = false;
    bool debugMode = false;
    // "次: NAME — TITLE" near a song's end when a queued song follows; UTF-8.
    std::string_view nextUp = {};
    // The song's graphics show its lyrics (CD+G): the player draws none of
    // its own, nor their band; the status line and the overlays stay.
    bool lyricsInGraphics = false;
};

}  // namespace orba
