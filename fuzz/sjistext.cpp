#include "fuzz/check.h"
#include "fuzz/targets.h"
#include "platform/sjis.h"

namespace orba::fuzz {

namespace {

bool isUtf8(std::string_view s) {
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        std::size_t n = c < 0x80                 ? 1
                        : c >= 0xC2 && c <= 0xDF ? 2
                        : c >= 0xE0 && c <= 0xEF ? 3
                        : c >= 0xF0 && c <= 0xF4 ? 4
                                                 : 0;
        if (n == 0 || i + n > s.size()) return false;
        for (std::size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
        i += n;
    }
    return true;
}

}  // namespace

void sjisText(std::string_view bytes) {
    const std::string utf8 = sjisToUtf8(bytes);
    ORBA_FUZZ_CHECK(isUtf8(utf8));
    // Every byte gives one character at most, of three UTF-8 bytes at most.
    ORBA_FUZZ_CHECK(utf8.size() <= 3 * bytes.size());
    utf8ToSjis(utf8);
    utf8ToSjis(bytes);
}

}  // namespace orba::fuzz
