// The lyrics inside a MIDI file, as the player's own tagged lines: every
// syllable a karaoke segment at the time of its event through the file's
// tempo map, lines joined at "/" or "\" in front of a syllable (the .kar
// convention) and at CR or LF.
//
// Odd cases, as decided here:
// - lyric events (meta type 5) are taken when the file has any; else the
//   text events (type 1) of a file that has "@" header texts (a .kar file),
//   from the track that holds most of them; a .mid with only text events
//   that are no .kar lyrics has none;
// - texts starting with "@" are header lines: the first "@T" is the title,
//   the second the artist; "@L", "@I", "@K", "@V" and the rest are dropped;
// - the encoding is decided over all texts, each read by itself (a character
//   split between two events is no character): UTF-8 when every one is valid
//   UTF-8 and one holds more than ASCII (UTF-8 with a mark when a text begins
//   with the byte-order mark, which is dropped from every text), else
//   Shift-JIS when every one is valid Shift-JIS, else Windows-1252 (turned
//   into UTF-8);
// - "[", "]" and "\" in a syllable become their full-width forms, since the
//   tag syntax has no escape and they would hide the text as tags;
// - an event with nothing to show adds nothing; times past 99:59.99 stay
//   there;
// - a line that would pass 64 KiB goes on in a new line, and past 4 MiB of
//   lines no syllable is taken (see lyricbounds.h); `warnings` says so.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

struct MidiLyrics {
    std::vector<std::string> lines;  // tagged lines, in memory's form
    TextEncoding encoding = TextEncoding::ShiftJis;
    std::string title;                  // UTF-8
    std::string artist;                 // UTF-8
    std::vector<std::string> warnings;  // what was left out, for the author
};

// Nothing when the bytes are no MIDI file or it holds no lyrics.
std::optional<MidiLyrics> readMidiLyrics(std::string_view fileBytes);

}  // namespace orba
