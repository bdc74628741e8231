// Outlined lyric text: a drop shadow, a four-fold outline and the text
// itself, either drawn straight onto the frame with dimmed colours or faded
// in and out through a small bitmap that carries its own background.
#pragma once

#include <string_view>

#include "platform/bitmap.h"
#include "platform/textencoding.h"
#include "settings/settings.h"

namespace orba {

// Each of red, green and blue times p / 100; p = 100 keeps the colour.
Colour scaleColour(Colour c, int p);

// Text with its top-left at (x, y) in the target's current font. With blend
// on and an opacity other than 100 the text fades by the opacity; otherwise
// the colours are scaled by it. Only text[from, end) is drawn, as a text of
// its own.
void drawOutlinedText(Bitmap& target, int x, int y, bool blend, int opacity, Colour shadow,
                      Colour outline, Colour fill, std::string_view text, std::size_t from = 0);
// The same for text that is already Unicode (the player's own messages).
void drawOutlinedText(Bitmap& target, int x, int y, bool blend, int opacity, Colour shadow,
                      Colour outline, Colour fill, const QString& text);

// The lyric font of the frame: face, style set and the character set of the
// song's lyrics (Shift-JIS unless they were read from a Unicode source).
// The face is set every frame so that a face chosen by an earlier phase never
// carries over to the lyrics.
void setLyricFont(Canvas& canvas, const Settings& settings,
                  TextEncoding encoding = TextEncoding::ShiftJis);

// Point sizes of the current line and of the next and previous lines.
int currentLineFontSize(int fontSizePercent, int unitX);
int sideLineFontSize(int unitX);

}  // namespace orba
