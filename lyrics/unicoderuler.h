// The ruler of a long lyric text held as UTF-8 (see linetext.h for why long
// texts need one). Unicode text is not a row of independent characters as
// Shift-JIS is: accents and other marks, joined emoji, flags and Hangul jamo
// combine with what precedes them, the letters of Arabic, Indic and similar
// scripts change shape with their neighbours, and a font may kern two
// letters closer together. So the text is cut into units that the layout
// never shapes across (a character with everything that combines with it; a
// run of letters of a shaping script), each unit's advance is taken once per
// font, and the kerning of two neighbouring Latin letters is taken once per
// pair. Everything is summed in sixty-fourths of a pixel, the layout's own
// fixed point, so that widths and the places where parts of the text are
// drawn come out as the text laid out whole would give them, to the pixel.
//
// Left as the whole text would not have them: right-to-left runs read in
// the order they are stored, tab stops counted from where a drawn part
// begins, shaping across a unit cut short at kMaxUnitChars, and the
// kerning the layout leaves out where it starts a new run every 4096
// characters. A text is drawn only as far as it is measured, up to its
// first U+009C.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lyrics/linetext.h"
#include "platform/textcache.h"

namespace orba {

// A unit holds at most this many characters, so that no hostile text (a
// letter with a million accents) makes one unit too long to measure or draw.
inline constexpr int kMaxUnitChars = 32;

// Whole pixels of a width in sixty-fourths, rounded as the layout rounds.
int layoutPixels(long long sixtyFourths);

// End of the unit that starts at `from` (a character boundary), at most `limit`.
std::size_t textUnitEnd(std::string_view text, std::size_t from, std::size_t limit);

class UnicodeAdvances;

class UnicodeRuler {
public:
    // Measures the text in the canvas's current font.
    UnicodeRuler(Canvas& canvas, std::string_view text);
    ~UnicodeRuler();

    bool measures(const FontFace& font, std::string_view text) const;

    // Width of text[a, b) laid out on its own, in sixty-fourths of a pixel;
    // like the layout, it ends at a U+009C (where it would end a text's first
    // variant).
    long long width(Canvas& canvas, std::size_t a, std::size_t b) const;

    // The pieces of text[from, end), laid out on its own at x, that reach the
    // columns [left, right) relative to x.
    // `text` is the measured text, which the part is cut from.
    ShownText shown(Canvas& canvas, int x, std::string_view text, std::size_t from, long long left,
                    long long right) const;

private:
    struct Walk {
        long long advance = 0;
        char32_t last = 0;  // the last unit's character when it may kern, else 0
    };
    Walk walk(Canvas& canvas, std::size_t from, std::size_t to) const;
    char32_t kerningCharAt(std::size_t at) const;
    // Where the glyphs of text[from, end) laid out on its own are, as an
    // offset to subtract from the pieces' x: the pieces from the first one
    // at or after `from`.
    struct Origin {
        std::size_t piece = 0;  // index of the first piece at or after from
        long long base = 0;     // a piece's x less base is its x in text[from, end)
    };
    Origin originOf(Canvas& canvas, std::size_t from) const;
    long long spanWidth(Canvas& canvas, std::size_t a, std::size_t b) const;

    FontFace m_font;
    std::string m_text;
    std::shared_ptr<UnicodeAdvances> m_advances;
    std::vector<std::size_t> m_starts;   // byte offset of each piece, then the end
    std::vector<long long> m_xs;         // x of each piece's first glyph, then the width
    std::vector<std::size_t> m_cutters;  // offsets of every U+009C
};

}  // namespace orba
