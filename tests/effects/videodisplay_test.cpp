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

TEST(VideoDisplayTest, APictureNearlyTheFittedSizeIsShownUnscaledAndCutByTheFrame) {
    // 1080p in a 1920 x 1080 window less a 24-pixel menu bar: 1877 x 1056.
    const Rect menuBar = fittedRect(1920, 1056, 1920, 1080);
    EXPECT_EQ(menuBar, (Rect{21, 0, 1898, 1056}));
    EXPECT_EQ(decodeSizeFor(menuBar, 1920, 1080), (PictureSize{1920, 1080}));
    EXPECT_EQ(placedPicture(menuBar, 1920, 1080), (Rect{0, -12, 1920, 1068}));
    // Exactly the rect; too far off to go unscaled; a smaller one, nearly.
    EXPECT_EQ(decodeSizeFor({0, 0, 1280, 720}, 1920, 1080), (PictureSize{1280, 720}));
    EXPECT_EQ(placedPicture({0, 0, 1280, 720}, 1280, 720), (Rect{0, 0, 1280, 720}));
    EXPECT_EQ(placedPicture({0, 0, 1280, 720}, 1920, 1080), Rect{});
    EXPECT_EQ(placedPicture({0, 0, 100, 50}, 97, 49), (Rect{1, 0, 98, 49}));
    EXPECT_EQ(placedPicture({0, 0, 100, 50}, 96, 48), Rect{});

    // Rows of a picture 10 x 5 told apart: red on its first and last rows.
    Bitmap picture = filled(10, 5, kWhite);
    picture.canvas().brush().setColor(kRed);
    picture.canvas().fillRect({0, 0, 10, 1});
    picture.canvas().fillRect({0, 4, 10, 5});
    Bitmap back = filled(10, 3, kBlack);
    drawVideoPicture(back, 10, 3, fittedRect(10, 3, 10, 5), &picture);
    // Not near: 6 x 3 is far from 10 x 5, so the picture is stretched.
    EXPECT_EQ(rows(back)[0], "kkrrrrrrkk");
    EXPECT_EQ(rows(back)[1], "kkwwwwwwkk");
    back = filled(100, 48, kBlack);
    Bitmap wide = filled(100, 50, kWhite);
    wide.canvas().brush().setColor(kRed);
    wide.canvas().fillRect({0, 0, 100, 2});
    drawVideoPicture(back, 100, 48, fittedRect(100, 48, 100, 50), &wide);
    // Its first row is cut off, its second is the frame's first; no bars.
    EXPECT_EQ(rows(back)[0], std::string(100, 'r'));
    EXPECT_EQ(rows(back)[1], std::string(100, 'w'));
    EXPECT_EQ(rows(back)[47], std::string(100, 'w'));
}

}  // namespace
}  // namespace orba
