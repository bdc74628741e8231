// Lyric text measured and cut to what a frame can show. A line of ordinary
// length goes to the canvas as it is. A line of kilobytes or megabytes (a
// binary file taken for lyrics, a hand-edited file) would cost seconds and
// gigabytes to convert, shape and draw whole on every frame, so it is
// measured once per font from the advance of each character and drawn only
// in the pieces that reach the frame; its width, and with it the long-line
// scroll, stays that of the whole line.
#pragma once

#include <cstddef>
#include <string_view>

#include "platform/canvas.h"

namespace orba {

// Texts longer than this many bytes are long texts.
inline constexpr std::size_t kLongTextBytes = 2048;

// Width of lyric text in the canvas's current font (and character set).
int lyricTextWidth(Canvas& canvas, std::string_view text);

// Width of `part`, measured as the start of `text` when it is one (the done
// and sung parts of a karaoke line), so that a long line is not measured
// again for every segment.
int lyricPrefixWidth(Canvas& canvas, std::string_view text, std::string_view part);

// The part of text[from, end), drawn on its own at x in the canvas's current
// font, that can reach the columns [left, right), and the x where it begins:
// a text of ordinary length whole, a long one in whole pieces round that span
// (with room for glyphs that overhang their advance). `from` lets the unsung
// rest of a long karaoke line be drawn without being measured again.
struct ShownText {
    int x = 0;
    int subpixels = 0;  // sixty-fourths of a pixel the part begins right of x
    std::string_view text;
    // The box of what the part stands for, for what is drawn round the text:
    // its left and its width, -1 for the width of the part itself.
    int boxX = 0;
    int boxWidth = -1;
};
ShownText shownText(Canvas& canvas, int x, std::string_view text, int left, int right,
                    std::size_t from = 0);

}  // namespace orba
