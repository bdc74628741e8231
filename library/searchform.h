// The form of a text that the song search compares: what a singer types and
// what a title or a lyric line says find each other whatever width, kana or
// letter case either is written in. Full-width ASCII becomes ASCII,
// half-width katakana becomes full-width (with its voiced marks joined,
// "ｶﾞ" → "ガ"), katakana becomes hiragana, Latin, Greek and Cyrillic
// capitals become small letters, the ideographic space a space. Line breaks
// stay where they were, one for one, so a place found in a folded text
// names the line of the original.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orba {

// `utf8` folded; broken UTF-8 becomes U+FFFD.
std::string searchForm(std::string_view utf8);

// The lyrics' search form without the spaces and tabs inside lines: a
// singer remembers the words of a line, not where its author spaced them
// ("ことりのうた" finds "ことりの　うたが"). Line breaks stay, one for one.
std::string lyricsSearchForm(std::string_view utf8);

// The number of characters of well-formed UTF-8 text.
std::size_t utf8Length(std::string_view utf8);

}  // namespace orba
