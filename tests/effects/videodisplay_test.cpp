#include "effects/videodisplay.h"

#include <gtest/gtest.h>

#include "effects/cdgdisplay.h"
#include "platform/bitmap.h"
#include "platform/canvas.h"

namespace orba {
namespace {

constexpr Colour kRed = 0x0000FF, kWhite = 0xFFFFFF, kBlack = 0;

Bitmap filled(int w, int h, Colour c) {
    Bitmap b(w, h);
    b.canvas().brush().setColor(c);
    b.canvas().fillRect({0, 0, w, h});
    return b;
}

// Each row of a frame as one letter a pixel: r red, k black, w white.
std::vector<std::string> rows(const Bitmap& b) {
    std::vector<std::string> out;
    for (int y = 0; y < b.height(); ++y) {
        std::string row;
        for (int x = 0; x < b.width(); ++x) {
            const Colour c = b.canvas().pixel(x, y);
            row += c == kRed ? 'r' : c == kBlack ? 'k' : c == kWhite ? 'w' : '?';
        }
        out.push_back(row);
    }
    return out;
}

TEST(VideoDisplayTest, ThePictureFitsBetweenBlackBarsAndNothingDecodedYetIsBlack) {
    // 16:9 pictures in frames of other shapes.
    EXPECT_EQ(fittedRect(1920, 1080, 1280, 720), (Rect{0, 0, 1920, 1080}));
    EXPECT_EQ(fittedRect(800, 600, 1280, 720), (Rect{0, 75, 800, 525}));
    EXPECT_EQ(fittedRect(1000, 300, 1280, 720), (Rect{233, 0, 766, 300}));

    Bitmap back = filled(6, 6, kWhite);
    const Rect r = fittedRect(6, 6, 6, 2);
    drawVideoPicture(back, 6, 6, r, nullptr);
    EXPECT_EQ(rows(back), std::vector<std::string>(6, "kkkkkk"));

    back = filled(6, 6, kWhite);
    const Bitmap picture = filled(6, 2, kRed);
    drawVideoPicture(back, 6, 6, r, &picture);
    EXPECT_EQ(rows(back), (std::vector<std::string>{"kkkkkk", "kkkkkk", "rrrrrr", "rrrrrr",
                                                    "kkkkkk", "kkkkkk"}));
}

TEST(VideoDisplayTest, APictureOfAnOlderSizeIsStretchedAndAKeptOneRepairsWhatWasDrawnOverIt) {
    Bitmap back = filled(4, 4, kWhite);
    const Bitmap small = filled(2, 1, kRed);
    drawVideoPicture(back, 4, 4, {0, 1, 4, 3}, &small);
    EXPECT_EQ(rows(back), (std::vector<std::string>{"kkkk", "rrrr", "rrrr", "kkkk"}));

    // The same picture next frame, after a lyric was drawn over part of it.
    const Bitmap picture = filled(4, 2, kRed);
    drawVideoPicture(back, 4, 4, {0, 1, 4, 3}, &picture);
    back.canvas().brush().setColor(kWhite);
    back.canvas().fillRect({1, 0, 3, 4});
    drawVideoPicture(back, 4, 4, {0, 1, 4, 3}, &picture);
    EXPECT_EQ(rows(back), (std::vector<std::string>{"kkkk", "rrrr", "rrrr", "kkkk"}));
}

}  // namespace
}  // namespace orba
