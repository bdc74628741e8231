#include "effects/cdgdisplay.h"

#include <gtest/gtest.h>

#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace orba {
namespace {

TEST(CdgDisplayTest, TheScreenFitsTheFrameWithItsAspectKeptAndCentred) {
    struct Case {
        int cw, ch;
        Rect expected;
    };
    const Case cases[] = {
        {300, 216, {0, 0, 300, 216}},        // its own size
        {600, 432, {0, 0, 600, 432}},        // twice
        {1920, 1080, {210, 0, 1710, 1080}},  // wide: bars left and right
        {300, 400, {0, 92, 300, 308}},       // tall: bars above and below
        {800, 600, {0, 12, 800, 588}},      {1, 1, {0, 0, 1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fittedRect(c.cw, c.ch, 300, 216), c.expected) << c.cw << "x" << c.ch;
    EXPECT_EQ(fittedRect(0, 100, 300, 216), Rect{});
}

TEST(CdgDisplayTest, TheBarsTakeTheBorderColourAndTheScreenIsScaledPixelForPixel) {
    // A 300 x 216 screen: left half red, right half blue, its top-left pixel green.
    Bitmap screen(300, 216);
    Canvas& s = screen.canvas();
    s.brush().setColor(0x0000FF);
    s.fillRect({0, 0, 150, 216});
    s.brush().setColor(0xFF0000);
    s.fillRect({150, 0, 300, 216});
    s.setPixel(0, 0, 0x00FF00);

    // 700 x 432: the screen at twice its size, 50-pixel bars either side.
    Bitmap back(700, 432);
    back.canvas().brush().setColor(0x123456);
    back.canvas().fillRect({0, 0, 700, 432});
    drawCdgScreen(back, 700, 432, screen, 0x808080);
    const Canvas& b = back.canvas();
    EXPECT_EQ(b.pixel(0, 0), 0x808080u);
    EXPECT_EQ(b.pixel(49, 431), 0x808080u);
    EXPECT_EQ(b.pixel(650, 0), 0x808080u);
    EXPECT_EQ(b.pixel(699, 431), 0x808080u);
    EXPECT_EQ(b.pixel(50, 0), 0x00FF00u);
    EXPECT_EQ(b.pixel(51, 1), 0x00FF00u);
    EXPECT_EQ(b.pixel(52, 0), 0x0000FFu);
    EXPECT_EQ(b.pixel(349, 200), 0x0000FFu);
    EXPECT_EQ(b.pixel(350, 200), 0xFF0000u);
    EXPECT_EQ(b.pixel(649, 431), 0xFF0000u);

    // No screen yet: all border.
    drawCdgScreen(back, 700, 432, Bitmap(), 0x0000AA);
    EXPECT_EQ(back.canvas().pixel(350, 200), 0x0000AAu);
}

}  // namespace
}  // namespace orba
