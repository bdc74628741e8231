// The time-tag edit mode's keys as operations on the lyric text.
//
// While the mode is on, lineTimes holds one entry per line that has its time,
// from line 0 on, so its size is the index of the next line to tag. Space and
// Backspace work from that count rather than from currentLine: the frame loop
// moves currentLine with the music, a frame or more after a key and back and
// forth with every seek, and a key that read it in between would tag one line
// twice or untag the wrong one, leaving every later line out of step.
//
// editFrameDrawn is the guard that lets Space and Backspace act at most once
// per drawn frame however fast a held key repeats: the player sets it each
// time the frame draws the current line in the mode, and a key that acts
// clears it.
//
// The song's lines are the player's; it lends them to a key's operation,
// which changes only them and the mode's own state.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orba {

// The mode's own state, held by the player.
struct TimeEditState {
    bool timeEditMode = false;
    bool editFrameDrawn = true;
};

// The menu entry flips the mode and Escape ends it; the caller then loads
// the song again. The edit keys wait for the reloaded song's first frame.
void setTimeEditMode(TimeEditState& edit, bool on);

// Space: the tap time (ms) becomes the time tag of the next line, and joins
// lineTimes. Returns whether a line was tagged; the end entry never is.
bool setAndNext(TimeEditState& edit, std::vector<std::string>& lyricLines,
                std::vector<std::string>& lineTimes, int tapTime);

// Where Backspace sends the music and which line is current after it.
struct Rewind {
    int position = 0;  // ms
    int currentLine = -1;
};

// Backspace: the last tag is taken back and its line is current again.
// Returns where the music goes back to: the caller sets the start position
// there, stops and plays, and makes the line current. MIDI songs are not
// rewound.
std::optional<Rewind> backAndRewind(TimeEditState& edit, std::vector<std::string>& lyricLines,
                                    std::vector<std::string>& lineTimes, bool isMidi,
                                    int currentLine);

// The line with `tag` in front in place of its old time tag. A leading
// colour tag stays, behind the new tag, and so does a leading bracket that
// holds words rather than a time ("[サビ]").
std::string retagLine(std::string_view line, std::string_view tag);

// The line without the time tag in front of it.
std::string untagLine(std::string_view line);

}  // namespace orba
