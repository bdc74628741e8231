// QR codes as the frame draws them: a symbol a phone's reader can find
// (finder patterns in three corners, timing rows between them) in the
// smallest version that holds the address.
#include <gtest/gtest.h>

#include <string>

#include "platform/qrcode.h"

namespace orba {
namespace {

// The 7 x 7 finder pattern with its top-left module at (x, y): a dark ring,
// a light ring and a dark 3 x 3 centre.
bool finderAt(const QrCode& code, int x, int y) {
    for (int dy = 0; dy < 7; ++dy)
        for (int dx = 0; dx < 7; ++dx) {
            const bool ring = dx == 0 || dy == 0 || dx == 6 || dy == 6;
            const bool centre = dx >= 2 && dx <= 4 && dy >= 2 && dy <= 4;
            if (code.isDark(x + dx, y + dy) != (ring || centre)) return false;
        }
    return true;
}

TEST(QrCodes, AnAddressBecomesASymbolWithItsFinderAndTimingPatterns) {
    const QrCode code = makeQrCode("http://192.168.10.200:8080/?t=" + std::string(22, 'A'));
    ASSERT_EQ(code.size, 33);  // version 4: 62 bytes at level M, version 3 only 42
    EXPECT_TRUE(finderAt(code, 0, 0));
    EXPECT_TRUE(finderAt(code, code.size - 7, 0));
    EXPECT_TRUE(finderAt(code, 0, code.size - 7));
    EXPECT_FALSE(finderAt(code, code.size - 7, code.size - 7));
    for (int i = 8; i < code.size - 8; ++i) {
        EXPECT_EQ(code.isDark(i, 6), i % 2 == 0) << i;
        EXPECT_EQ(code.isDark(6, i), i % 2 == 0) << i;
    }
}

TEST(QrCodes, LongerTextTakesALargerVersionAndNothingGivesNoCode) {
    EXPECT_EQ(makeQrCode("x").size, 21);
    EXPECT_EQ(makeQrCode(std::string(200, 'x')).size, 57);  // version 10
    EXPECT_EQ(makeQrCode("").size, 0);
    EXPECT_EQ(makeQrCode(std::string(5000, 'x')).size, 0);  // beyond version 40
}

}  // namespace
}  // namespace orba
