// What party mode adds to the frame: the queued song that follows near a
// song's end, the screen that names the next singer between songs, and the
// guests' page address as a QR code. Guests' names and titles are drawn as
// plain text, never read as tags.
#pragma once

#include <string_view>

#include "platform/bitmap.h"
#include "platform/framevalues.h"
#include "platform/qrcode.h"
#include "platform/raster.h"
#include "settings/settings.h"

namespace orba {

// The queued song that follows, named at the top right in the status
// text's size and colours, over whatever the frame holds there.
void drawNextUp(Bitmap& back, const FrameValues& f, const Settings& s, std::string_view utf8);

struct UpNextScreen {
    std::string_view singer;  // UTF-8
    std::string_view title;   // UTF-8
    int secondsLeft = 0;      // until the song starts by itself
};

// "NAME さんの番です" with the title below and the seconds left, on a dark
// band across the middle of the frame, over the scene behind it.
void drawUpNextScreen(Bitmap& back, const FrameValues& f, const Settings& s,
                      const UpNextScreen& screen);

// Where a code of `modules` modules goes: the top-right corner under the
// next song's line (the lyrics keep the bottom), a quarter of the frame's
// height with its quiet zone, each module a whole
// number of pixels (at least one). The rectangle includes the quiet zone.
Rect qrCodePlace(const FrameValues& f, int modules);
// The code in black on white in its place; nothing for an empty code.
void drawQrCode(Bitmap& back, const FrameValues& f, const QrCode& code);

}  // namespace orba
