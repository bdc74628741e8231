// How much lyric text a song may bring, whatever its source. A song's lyrics
// are a few kilobytes; the bounds lie far above any song and keep a hostile
// file from costing the player seconds and gigabytes: an LRC line with
// thousands of times is one lyric line per time, a MIDI file of a million
// syllables one line of megabytes. What a reader leaves out it reports as a
// warning, which --lyrics-info shows.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "platform/textencoding.h"

namespace orba {

// All lyric lines together, tags included.
inline constexpr std::size_t kMaxLyricTextBytes = 4u << 20;
// The text of one LRC line as the file holds it, and one MIDI lyric line.
inline constexpr std::size_t kMaxLyricLineBytes = 64u << 10;
inline constexpr std::size_t kMaxLrcTimesPerLine = 100;

// The length of the longest start of `text` of at most `most` bytes that
// ends between two characters.
std::size_t wholeCharsPrefix(std::string_view text, std::size_t most, TextEncoding e);

// Cuts `lines` to kMaxLyricTextBytes together: the lines past the bound go,
// the one across it keeps its whole characters before it. Returns the
// warning, or "" when nothing was cut.
std::string boundLyricText(std::vector<std::string>& lines, TextEncoding e);

// A piece of a file as a warning quotes it: whole characters of its first
// 40 bytes, and "..." when there was more (a file may hold megabytes where
// a number belongs).
std::string quotedPart(std::string_view text, TextEncoding e);

// A cut that happened `times` times in all, told once with its first case.
std::string firstOfCuts(const std::string& first, std::size_t times);

}  // namespace orba
