// Rendered text for the canvases. A lyric line is drawn six times per frame
// (shadow, four outline copies, fill) and again on the next frame, so each
// text is rasterised once into a coverage mask and then only composited in
// the wanted colours. Fonts, widths and masks are kept in small caches shared
// by all canvases, since the faded path draws on a fresh bitmap every frame.
//
// Widths come from the font's metrics alone; nothing is rasterised to
// measure. A text whose box is larger than a frame could ever need (a line
// of a megabyte, glyphs a thousand pixels high) is rasterised only over the
// part of its box that can show, in tiles, so its cost follows the frame's
// size and not the text's.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <memory>
#include <string>

#include "platform/fonts.h"
#include "platform/raster.h"

namespace orba {

// What decides the glyphs: face name, size in points and style set.
struct FontFace {
    std::string name;
    int size = 0;
    FontStyles style;
    bool operator==(const FontFace&) const = default;
};

struct RenderedText {
    int width = 0;   // advance width
    int height = 0;  // ascent + descent of the font
    // Coverage 0..255 (Format_Alpha8), its top-left at (left, top) from the
    // text's top-left; glyphs may reach outside the text's box.
    QImage coverage;
    int left = 0;
    int top = 0;
};

// Boxes of at most this many pixels, the room for overhanging glyphs
// included, are rasterised whole: every ordinary lyric line is one.
inline constexpr long long kWholeTextPixels = 1LL << 22;
// Larger boxes are rasterised over whole tiles of this size round what shows.
inline constexpr int kTextTile = 256;

// The part of a text's box that is rasterised, in the text's coordinates
// (its top-left at 0, 0): the whole box with the room for overhanging glyphs
// when it is small enough, else the tiles of it that meet `visible`; an
// empty rectangle when nothing of it can show.
Rect textRasterArea(int advance, int height, const Rect& visible);

// The text as drawn in a face, its origin `subpixels` sixty-fourths of a
// pixel right of its top-left, as far as it can show inside `visible`; the
// result stays valid while it is held.
std::shared_ptr<const RenderedText> renderText(const FontFace& face, const QString& text,
                                               const Rect& visible, int subpixels = 0);

// Advance width of the text.
int textAdvance(const FontFace& face, const QString& text);

// The same in sixty-fourths of a pixel, as the layout sums the advances of
// the glyphs before it rounds them to a whole pixel. Not cached.
int exactTextAdvance(const FontFace& face, const QString& text);

// Height of the face's line: the same for every text.
int fontHeight(const FontFace& face);

}  // namespace orba
