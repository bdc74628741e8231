// A QR code as a square of dark and light modules, for drawing with a
// Canvas. The encoding is libqrencode's; its types stay in the .cpp.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace orba {

struct QrCode {
    int size = 0;                    // modules per side; 0: nothing could be encoded
    std::vector<std::uint8_t> dark;  // size * size, row by row; 1 dark

    bool isDark(int x, int y) const { return dark[static_cast<std::size_t>(y * size + x)] != 0; }
    bool operator==(const QrCode&) const = default;
};

// `text` as 8-bit data at error correction level M, in the smallest version
// that holds it; an empty code when it holds nothing or is too long.
QrCode makeQrCode(std::string_view text);

}  // namespace orba
