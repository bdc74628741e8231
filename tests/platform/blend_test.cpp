#include "platform/blend.h"

#include <gtest/gtest.h>

#include <iterator>
#include <vector>

#include "platform/random.h"
#include "tests/support/pictures.h"

namespace orba {
namespace {

using test::filled;

Bitmap noise(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.canvas().setPixel(x, y, static_cast<Colour>(rand()) * 613u % 0x1000000u);
    return b;
}

TEST(Blend, ConstantAlphaIsOpacityTimes255Over100) {
    EXPECT_EQ(blendAlpha(50), 127);
    EXPECT_EQ(blendAlpha(10), 25);
    EXPECT_EQ(blendAlpha(100), 255);
    EXPECT_EQ(blendAlpha(0), 0);
    EXPECT_EQ(blendAlpha(250), 255);  // an edited settings file cannot overflow the blend
    EXPECT_EQ(blendAlpha(-5), 0);
}

struct HalfCase {
    Colour source;
    Colour dest;
    int dark;
    Colour want;
};

class HalfOpacity : public testing::TestWithParam<HalfCase> {};

TEST_P(HalfOpacity, FollowsTheBlendFormula) {
    const HalfCase& t = GetParam();
    Bitmap dst = filled(5, 3, t.dest);
    drawBlended(dst, 0, 0, t.dark, 50, filled(5, 3, t.source));
    for (int x = 0; x < 5; ++x) EXPECT_EQ(dst.canvas().pixel(x, 1), t.want) << x;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HalfOpacity,
    testing::Values(HalfCase{0xFFFFFF, 0x000000, 0, 0x7F7F7F},  // white over black: 127
                    HalfCase{0x000000, 0xFFFFFF, 0, 0x808080},  // black over white: 128
                    HalfCase{0x0000FF, 0xFF0000, 0, 0x80007F},
                    HalfCase{0xFFFFFF, 0x000000, 1, 0x7F7F7F},   // dark: d + s x 127 / 255
                    HalfCase{0x000000, 0x336699, 1, 0x336699},   // black vanishes when dark
                    HalfCase{0xFFFFFF, 0x90A0B0, 1, 0xFFFFFF}),  // saturates
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(Blend, FullOpacityWithoutTheDarkFlagIsAPlainCopy) {
    const Bitmap src = noise(13, 7);
    Bitmap dst = filled(20, 10, 0x445566);
    drawBlended(dst, 3, 2, 0, 100, src);
    for (int y = 0; y < 7; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(dst.canvas().pixel(x + 3, y + 2), src.canvas().pixel(x, y));
    EXPECT_EQ(dst.canvas().pixel(2, 2), 0x445566u);
    EXPECT_EQ(dst.canvas().pixel(16, 9), 0x445566u);
}

TEST(Blend, FullOpacityWithTheDarkFlagStillBlends) {
    Bitmap dst = filled(4, 4, 0x202020);
    drawBlended(dst, 0, 0, 1, 100, filled(4, 4, 0x101010));
    EXPECT_EQ(dst.canvas().pixel(1, 1), 0x303030u);
}

TEST(Blend, NothingChangesAtOpacityZeroOrFromAnEmptySource) {
    const Bitmap before = noise(8, 8);
    for (int dark : {0, 1}) {
        Bitmap dst = before;
        drawBlended(dst, 0, 0, dark, 0, filled(8, 8, 0xFFFFFF));
        drawBlendedRect(dst, {0, 0, 8, 8}, dark, 0, filled(8, 8, 0xFFFFFF), {0, 0, 8, 8});
        for (int opacity : {50, 100}) {
            drawBlended(dst, 0, 0, dark, opacity, Bitmap(0, 0));
            drawBlended(dst, 0, 0, dark, opacity, Bitmap());
            drawBlendedRect(dst, {0, 0, 8, 8}, dark, opacity, Bitmap(0, 0), {0, 0, 0, 0});
        }
        EXPECT_EQ(dst.image(), before.image()) << "dark " << dark;
    }
}

TEST(Blend, SourcesReachingOutsideTheDestinationAreClipped) {
    Bitmap dst = filled(4, 4, 0x000000);
    drawBlended(dst, -2, 3, 0, 50, filled(4, 4, 0xFFFFFF));
    EXPECT_EQ(dst.canvas().pixel(0, 3), 0x7F7F7Fu);
    EXPECT_EQ(dst.canvas().pixel(1, 3), 0x7F7F7Fu);
    EXPECT_EQ(dst.canvas().pixel(2, 3), 0u);
    EXPECT_EQ(dst.canvas().pixel(0, 2), 0u);
}

TEST(Blend, RectangleBlendsStretchAndMirrorLikeTheCopy) {
    Bitmap src(2, 1);
    src.canvas().setPixel(0, 0, 0xFFFFFF);
    src.canvas().setPixel(1, 0, 0x0000FE);
    for (int opacity : {100, 50}) {
        Bitmap dst(4, 1);
        drawBlendedRect(dst, {4, 0, 0, 1}, 0, opacity, src, {0, 0, 2, 1});
        const Colour red = opacity == 100 ? 0x0000FE : 0x00007E;
        const Colour white = opacity == 100 ? 0xFFFFFF : 0x7F7F7F;
        EXPECT_EQ(dst.canvas().pixel(0, 0), red) << opacity;
        EXPECT_EQ(dst.canvas().pixel(1, 0), red) << opacity;
        EXPECT_EQ(dst.canvas().pixel(2, 0), white) << opacity;
        EXPECT_EQ(dst.canvas().pixel(3, 0), white) << opacity;
    }
}

// Pictures blended row by row in turn: every pixel as drawing them one after
// the other gives, for overlapping, clipped, copied (full opacity), skipped
// (opacity 0) and added (dark) pictures, and for a picture drawn onto the
// destination itself.
TEST(Blend, PicturesInTurnGiveThePixelsOfOneAfterTheOther) {
    const Bitmap a = noise(37, 23), b = noise(41, 11), c = noise(5, 40);
    struct Case {
        int dark;
        std::vector<BlendedPicture> pictures;
    };
    const Case cases[] = {
        {0, {{3, 2, 50, &a}, {10, 8, 30, &b}}},
        {1, {{3, 2, 50, &a}, {10, 8, 30, &b}, {-2, -5, 77, &c}}},
        {0, {{-20, 15, 100, &a}, {30, -4, 60, &b}}},
        {1, {{-20, 15, 100, &a}, {30, -4, 0, &b}, {44, 0, 100, &c}}},
        {0, {{0, 0, 100, &b}, {5, 5, 40, &a}, {60, 60, 50, &c}}},
    };
    for (std::size_t n = 0; n < std::size(cases); ++n) {
        const Case& t = cases[n];
        Bitmap oneByOne = noise(48, 30);
        Bitmap inTurn = oneByOne;
        inTurn.image().detach();
        for (const BlendedPicture& p : t.pictures)
            drawBlended(oneByOne, p.x, p.y, t.dark, p.opacity, *p.source);
        switch (t.pictures.size()) {
            case 2:
                drawBlendedInTurn(inTurn, t.dark, {t.pictures[0], t.pictures[1]});
                break;
            default:
                drawBlendedInTurn(inTurn, t.dark, {t.pictures[0], t.pictures[1], t.pictures[2]});
        }
        EXPECT_EQ(oneByOne.image(), inTurn.image()) << "case " << n;
    }
    Bitmap self = noise(30, 20);
    Bitmap selfInTurn = self;
    selfInTurn.image().detach();
    const Bitmap selfBefore = self;
    drawBlended(self, 4, 3, 0, 50, a);
    drawBlended(self, 6, 2, 0, 50, self);
    drawBlendedInTurn(selfInTurn, 0, {{4, 3, 50, &a}, {6, 2, 50, &selfInTurn}});
    EXPECT_EQ(self.image(), selfInTurn.image());
}

}  // namespace
}  // namespace orba
