#include "platform/jpegpicture.h"

#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "platform/bitmap.h"

namespace orba::fuzz {

void jpegPicture(std::string_view bytes) {
    JpegPicture jpeg;
    if (!jpeg.loadFromBytes(std::string(bytes))) return;
    ORBA_FUZZ_CHECK(jpeg.width() > 0 && jpeg.height() > 0);
    for (int denominator : {8, 4, 2, 1}) {
        jpeg.setScale(denominator);
        // A tiny file may claim a huge picture: decode only what a frame would.
        if (static_cast<long long>(jpeg.scaledWidth()) * jpeg.scaledHeight() > 4'000'000) continue;
        for (bool grey : {false, true}) {
            jpeg.setGrayscale(grey);
            Bitmap out;
            if (jpeg.decode(out))
                ORBA_FUZZ_CHECK(out.width() == jpeg.scaledWidth() &&
                                out.height() == jpeg.scaledHeight());
        }
    }
}

}  // namespace orba::fuzz
