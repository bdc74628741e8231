// The glyph of the settings dialog's OK button.
#pragma once

#include <QImage>

namespace orba {

// 16 x 16 check mark; the disabled state is the same shape greyed and
// embossed, as such glyphs are drawn.
QImage okGlyph(bool enabled);

}  // namespace orba
