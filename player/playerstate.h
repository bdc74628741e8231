// The player's own state: the song being played and its clocks, the status
// line and the look the keys switch. Settings live in Settings. Only the
// player writes it; the lyric, picture and edit steps get the values they
// need and return what they decided, and the time-tag edit mode keeps its
// own state in a struct of its own.
#pragma once

#include <string>
#include <vector>

#include "authoring/timeedit.h"
#include "lyrics/sungnote.h"
#include "settings/lyricform.h"
#include "settings/singervalues.h"

namespace orba {

struct PlayerState {
    std::string statusMessage;  // UTF-8, lines separated by "|"
    int statusTime = 0;         // ms the status message is still shown
    unsigned int lastTick = 0;  // 0: the frame clock restarts at the next tick
    float timeRatio = 1.0f;
    int songTime = 0;
    int songLength = 0;
    bool isMidi = false;
    int savedVolume = 0;
    int currentLine = -1;
    int tagType = 0;
    TimeEditState timeEdit;
    bool debugMode = false;
    bool orbaObject = false;  // the mascot sprites; not saved
    int seasonMode = 0;
    bool scoring = false;  // singing scoring, K; not saved

    SingerControls singer;  // the song's key, tempo, vocal cut, melody mute, lyric offset
    int tempoCarry = 0;     // hundredths of a ms the MIDI clock owes at this tempo

    std::vector<std::string> lyricLines;
    LyricForm lyricForm;  // the source, dialect and encoding of lyricLines
    // The notes the lines are sung on, when the lyrics know them; `line`
    // counts lyricLines. Never drawn.
    std::vector<SungNote> sungNotes;
    std::vector<std::string> lineTimes;
    std::vector<std::string> imageFiles;
    std::vector<std::string> folderSongs;
};

}  // namespace orba
