// Rendered text for the canvases. A lyric line is drawn six times per frame
// (shadow, four outline copies, fill) and again on the next frame, so each
// text is rasterised once into a coverage mask and then only composited in
// the wanted colours. Fonts and masks are kept in small caches shared by all
// canvases, since the faded path draws on a fresh bitmap every frame.
#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QString>
#include <memory>
#include <string>

#include "platform/fonts.h"

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

// The text as drawn in a face; the result stays valid while it is held.
std::shared_ptr<const RenderedText> renderText(const FontFace& face, const QString& text);

// Height of the face's line: the same for every text.
int fontHeight(const FontFace& face);

}  // namespace orba
