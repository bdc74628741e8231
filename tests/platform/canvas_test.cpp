#include "platform/canvas.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/bitmap.h"

namespace orba {
namespace {

constexpr Colour kBlack = 0x000000;
constexpr Colour kRed = 0x0000FF;
constexpr Colour kGreen = 0x00FF00;
constexpr Colour kBlue = 0xFF0000;

// Pixels of one colour as a picture of '#' and '.' rows, for readable failures.
std::string shape(const Bitmap& b, Colour c) {
    std::string out;
    for (int y = 0; y < b.height(); ++y) {
        for (int x = 0; x < b.width(); ++x) out += b.canvas().pixel(x, y) == c ? '#' : '.';
        out += '\n';
    }
    return out;
}

std::string rows(std::initializer_list<const char*> lines) {
    std::string out;
    for (const char* l : lines) (out += l) += '\n';
    return out;
}

TEST(Canvas, ColoursAreBlueGreenRedWithRedInTheLowByte) {
    Bitmap b(1, 1);
    b.canvas().setPixel(0, 0, 0x00336699);
    EXPECT_EQ(b.image().pixel(0, 0), 0xFF996633u);
    EXPECT_EQ(b.canvas().pixel(0, 0), 0x336699u);
    EXPECT_EQ(b.canvas().pixel(1, 0), Canvas::kInvalidColour);
    EXPECT_EQ(b.canvas().pixel(0, -1), Canvas::kInvalidColour);
}

TEST(Canvas, SettingABrushColourMakesAClearBrushSolid) {
    Bitmap b(4, 4);
    b.canvas().brush().setStyle(BrushStyle::Clear);
    b.canvas().fillRect({0, 0, 4, 4});
    EXPECT_EQ(b.canvas().pixel(1, 1), kBlack);
    b.canvas().brush().setColor(kRed);
    EXPECT_EQ(b.canvas().brush().style(), BrushStyle::Solid);
    b.canvas().fillRect({0, 0, 4, 4});
    EXPECT_EQ(b.canvas().pixel(1, 1), kRed);
}

struct RectCase {
    const char* name;
    Rect rect;
};

class FillRectEdges : public testing::TestWithParam<RectCase> {};

TEST_P(FillRectEdges, CoverLeftToRightMinusOneAndTopToBottomMinusOne) {
    Bitmap b(8, 6);
    b.canvas().brush().setColor(kRed);
    b.canvas().fillRect(GetParam().rect);
    EXPECT_EQ(shape(b, kRed), rows({"........",  //
                                    "..####..",  //
                                    "..####..",  //
                                    "..####..",  //
                                    "........",  //
                                    "........"}));
}

INSTANTIATE_TEST_SUITE_P(Corners, FillRectEdges,
                         testing::Values(RectCase{"normal", {2, 1, 6, 4}},
                                         RectCase{"reversed", {6, 4, 2, 1}},
                                         RectCase{"mixed", {2, 4, 6, 1}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, RectangleHasAPenFrameInsideItsEdgesAndABrushInside) {
    Bitmap b(7, 6);
    Canvas& c = b.canvas();
    c.pen().color = kGreen;
    c.brush().setColor(kRed);
    c.rectangle(1, 1, 6, 5);
    EXPECT_EQ(shape(b, kGreen), rows({".......",  //
                                      ".#####.",  //
                                      ".#...#.",  //
                                      ".#...#.",  //
                                      ".#####.",  //
                                      "......."}));
    EXPECT_EQ(shape(b, kRed), rows({".......",  //
                                    ".......",  //
                                    "..###..",  //
                                    "..###..",  //
                                    ".......",  //
                                    "......."}));
}

TEST(Canvas, RectangleWithClearBrushDrawsOnlyTheFrameAndWithClearPenOnlyTheInside) {
    Bitmap b(5, 4);
    Canvas& c = b.canvas();
    c.pen().color = kGreen;
    c.brush().setStyle(BrushStyle::Clear);
    c.rectangle(0, 0, 5, 4);
    EXPECT_EQ(b.canvas().pixel(2, 1), kBlack);
    EXPECT_EQ(b.canvas().pixel(4, 3), kGreen);

    Bitmap d(5, 4);
    d.canvas().pen().style = PenStyle::Clear;
    d.canvas().brush().setColor(kRed);
    d.canvas().rectangle(0, 0, 5, 4);
    EXPECT_EQ(shape(d, kRed), rows({"#####", "#####", "#####", "#####"}));
}

TEST(Canvas, EllipseFillsItsBoxMinusTheRightAndBottomEdge) {
    Bitmap b(12, 8);
    Canvas& c = b.canvas();
    c.pen().style = PenStyle::Clear;
    c.brush().setColor(kRed);
    c.ellipse(1, 1, 11, 7);
    EXPECT_EQ(shape(b, kRed), rows({"............",  //
                                    "...######...",  //
                                    "..########..",  //
                                    ".##########.",  //
                                    ".##########.",  //
                                    "..########..",  //
                                    "...######...",  //
                                    "............"}));
}

TEST(Canvas, EllipseOutlineIsOnePixelOfPenAroundTheBrush) {
    Bitmap b(9, 9);
    Canvas& c = b.canvas();
    c.pen().color = kGreen;
    c.brush().setColor(kRed);
    c.ellipse(0, 0, 9, 9);
    EXPECT_EQ(c.pixel(4, 4), kRed);
    EXPECT_EQ(c.pixel(0, 4), kGreen);
    EXPECT_EQ(c.pixel(8, 4), kGreen);
    EXPECT_EQ(c.pixel(4, 0), kGreen);
    EXPECT_EQ(c.pixel(4, 8), kGreen);
    EXPECT_EQ(c.pixel(1, 4), kRed);
    EXPECT_EQ(c.pixel(0, 0), kBlack);
    // A solid disc: every row is one run of pen and brush pixels.
    for (int y = 0; y < 9; ++y) {
        int runs = 0;
        for (int x = 0; x < 9; ++x)
            if (c.pixel(x, y) != kBlack && (x == 0 || c.pixel(x - 1, y) == kBlack)) ++runs;
        EXPECT_EQ(runs, 1) << "row " << y;
    }
}

// The ripple scene draws its rings as nested discs: every pixel, and the
// brush left behind, must be what drawing each disc in turn gives, also for
// equal radii, skipped (negative) ones and discs cut by the bitmap's edges.
TEST(Canvas, NestedDiscsGiveThePixelsOfEachDiscDrawnInTurn) {
    const struct {
        int cx, cy;
        std::vector<int> radii;
    } cases[] = {
        {20, 15, {12, 10, 8, 8, 8, 5, 3, 1, 0, -2}},
        {2, 28, {30, 24, 18, 12, 6}},
        {39, 0, {7, 7, 7}},
        {20, 15, {-1, -5}},
    };
    for (const auto& c : cases) {
        std::vector<Colour> colours;
        for (std::size_t j = 0; j < c.radii.size(); ++j)
            colours.push_back(static_cast<Colour>(0x102030 * (j + 1)));
        Bitmap turn(40, 30), nested(40, 30);
        Canvas& t = turn.canvas();
        t.pen().style = PenStyle::Clear;
        t.brush().setColor(0x123456);
        for (std::size_t j = 0; j < c.radii.size(); ++j) {
            const int r = c.radii[j];
            if (r < 0) continue;
            t.brush().setColor(colours[j]);
            t.ellipse(c.cx - r, c.cy - r, c.cx + r, c.cy + r);
        }
        Canvas& n = nested.canvas();
        n.pen().style = PenStyle::Clear;
        n.brush().setColor(0x123456);
        n.nestedDiscs(c.cx, c.cy, c.radii.data(), colours.data(), int(c.radii.size()));
        EXPECT_EQ(turn.image(), nested.image()) << c.radii.front();
        EXPECT_EQ(t.brush().color(), n.brush().color());
    }
}

// Discs are drawn from rows kept per radius and moved to the centre: that
// must give each row exactly as working the disc out around its own centre,
// for every radius a scene uses and centres far from the origin.
TEST(Canvas, KeptDiscRowsMovedToACentreAreThatDiscsOwnRows) {
    for (int r = 0; r <= 420; ++r) {
        const std::vector<EllipseRow>* kept = discRows(r);
        ASSERT_NE(kept, nullptr);
        for (const int cx : {0, 1, 37, 640, 1919, 4095, -333}) {
            const int cy = cx / 2 + 7;
            const std::vector<EllipseRow> own = ellipseRows(cx - r, cy - r, cx + r, cy + r);
            ASSERT_EQ(own.size(), kept->size()) << r;
            for (std::size_t i = 0; i < own.size(); ++i) {
                ASSERT_EQ(own[i].first, (*kept)[i].first + cx) << r << " " << cx << " " << i;
                ASSERT_EQ(own[i].last, (*kept)[i].last + cx) << r << " " << cx << " " << i;
            }
        }
    }
    EXPECT_EQ(discRows(kLargestKeptRadius + 1), nullptr);
    EXPECT_EQ(discRows(-1), nullptr);
}

// A hole keeps fills, discs and lines (slanted, flat, XOR) off its pixels and
// nothing else: outside it every pixel is what drawing without it gives.
TEST(Canvas, AHoleKeepsShapesOffItsPixelsAndOnlyThose) {
    const Rect hole{10, 8, 30, 20};
    const auto draw = [](Bitmap& b) {
        Canvas& c = b.canvas();
        c.brush().setColor(0x00FF00);
        c.fillRect({0, 0, 40, 30});
        c.pen().style = PenStyle::Clear;
        const int radii[] = {14, 9, 4};
        const Colour colours[] = {0x400000, 0x800000, 0xC00000};
        c.nestedDiscs(20, 14, radii, colours, 3);
        c.pen().style = PenStyle::Solid;
        c.pen().color = 0x0000FF;
        c.moveTo(0, 0);
        c.lineTo(39, 29);
        c.moveTo(39, 12);
        c.lineTo(0, 12);
        c.pen().mode = PenMode::Xor;
        c.moveTo(5, 29);
        c.lineTo(35, 2);
    };
    Bitmap plain(40, 30), holed(40, 30);
    draw(plain);
    holed.canvas().setHole(hole);
    draw(holed);
    holed.canvas().clearHole();
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x >= hole.left && x < hole.right && y >= hole.top && y < hole.bottom;
            EXPECT_EQ(holed.canvas().pixel(x, y), inside ? 0u : plain.canvas().pixel(x, y))
                << x << "," << y;
        }
    // Cleared, the hole holds nothing back.
    holed.canvas().brush().setColor(0x00FF00);
    holed.canvas().fillRect({0, 0, 40, 30});
    EXPECT_EQ(holed.canvas().pixel(15, 10), 0x00FF00u);
}

// The clear relies on knowing where the bitmap was drawn on. Pixels changed
// any other way (the image taken to write, another picture assigned, memory
// that came from elsewhere) must still be cleared.
TEST(Canvas, ClearAroundAlsoClearsWhatWasWrittenPastTheCanvas) {
    Bitmap b(300, 20);
    Canvas& c = b.canvas();
    c.clearAround({});
    c.brush().setColor(0x00FF00);
    c.fillRect({250, 5, 260, 6});
    c.clearAround({100, 0, 200, 20});
    EXPECT_EQ(c.pixel(255, 5), 0u);
    // Written past the canvas, far from anything drawn before.
    b.image().setPixel(10, 10, 0xFFFF0000u);
    c.clearAround({});
    EXPECT_EQ(c.pixel(10, 10), 0u);
    // A picture assigned over the bitmap.
    Bitmap red(300, 20);
    red.canvas().brush().setColor(0x0000FF);
    red.canvas().fillRect({0, 0, 300, 20});
    b = red;
    c.clearAround({0, 0, 1, 1});
    EXPECT_EQ(c.pixel(299, 19), 0u);
    EXPECT_EQ(c.pixel(0, 0), 0x0000FFu);  // kept
    // The kept pixels count as drawn: cleared once no longer kept.
    c.clearAround({});
    EXPECT_EQ(c.pixel(0, 0), 0u);
}

TEST(Canvas, TinyEllipsesStillShowAPixelAndEmptyBoxesNone) {
    Bitmap b(4, 4);
    Canvas& c = b.canvas();
    c.brush().setColor(kRed);
    c.pen().color = kRed;
    c.ellipse(1, 1, 2, 2);
    c.ellipse(3, 0, 3, 4);
    EXPECT_EQ(shape(b, kRed), rows({"....", ".#..", "....", "...."}));
}

struct LineCase {
    const char* name;
    Point from;
    Point to;
    const char* picture[5];
};

class Lines : public testing::TestWithParam<LineCase> {};

TEST_P(Lines, LeaveOutTheEndPoint) {
    const LineCase& t = GetParam();
    Bitmap b(5, 5);
    b.canvas().pen().color = kRed;
    b.canvas().moveTo(t.from.x, t.from.y);
    b.canvas().lineTo(t.to.x, t.to.y);
    std::string want;
    for (const char* l : t.picture) (want += l) += '\n';
    EXPECT_EQ(shape(b, kRed), want);
    EXPECT_EQ(b.canvas().penPos(), t.to);
}

INSTANTIATE_TEST_SUITE_P(
    Directions, Lines,
    testing::Values(
        LineCase{"right", {0, 1}, {4, 1}, {".....", "####.", ".....", ".....", "....."}},
        LineCase{"left", {4, 1}, {0, 1}, {".....", ".####", ".....", ".....", "....."}},
        LineCase{"down", {2, 0}, {2, 3}, {"..#..", "..#..", "..#..", ".....", "....."}},
        LineCase{"diagonal", {0, 0}, {4, 4}, {"#....", ".#...", "..#..", "...#.", "....."}},
        LineCase{"shallow", {0, 0}, {4, 2}, {"##...", "..##.", ".....", ".....", "....."}},
        LineCase{"point", {2, 2}, {2, 2}, {".....", ".....", ".....", ".....", "....."}},
        LineCase{"farOutside",
                 {-100000, 3},
                 {100000, 3},
                 {".....", ".....", ".....", "#####", "....."}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, LongSteepLinesHitEveryVisibleRowOnce) {
    Bitmap b(40, 30);
    b.canvas().pen().color = kRed;
    b.canvas().moveTo(-7, -200);
    b.canvas().lineTo(50, 400);
    for (int y = 0; y < 30; ++y) {
        int n = 0;
        for (int x = 0; x < 40; ++x) n += b.canvas().pixel(x, y) == kRed;
        EXPECT_EQ(n, 1) << "row " << y;
    }
}

Bitmap gradient(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.canvas().setPixel(x, y, static_cast<Colour>(x * 37 + y * 0x1901 + 0x30000 * (x ^ y)));
    return b;
}

TEST(Canvas, XorPenDrawnTwiceRestoresThePicture) {
    Bitmap b = gradient(20, 16);
    const QImage before = b.image().copy();
    Canvas& c = b.canvas();
    c.pen().mode = PenMode::Xor;
    c.pen().color = 0x202020;
    c.brush().setStyle(BrushStyle::Clear);
    for (int pass = 0; pass < 2; ++pass) {
        c.moveTo(3, 0);
        c.lineTo(3, 16);
        c.moveTo(0, 2);
        c.lineTo(19, 13);
        c.rectangle(5, 5, 12, 9);
        c.rectangle(14, 3, 15, 4);  // one pixel: its frame must not cancel itself
        if (pass == 0) {
            EXPECT_EQ(c.pixel(3, 7), (fromPixel(before.pixel(3, 7)) ^ 0x202020));
            EXPECT_EQ(c.pixel(14, 3), (fromPixel(before.pixel(14, 3)) ^ 0x202020));
        }
    }
    EXPECT_EQ(b.image(), before);
}

TEST(Canvas, CopyOfTheSameSizeEqualsTheSource) {
    const Bitmap src = gradient(6, 5);
    Bitmap dst(10, 10);
    dst.canvas().draw(2, 3, src);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 6; ++x)
            ASSERT_EQ(dst.canvas().pixel(x + 2, y + 3), src.canvas().pixel(x, y));
    EXPECT_EQ(dst.canvas().pixel(1, 3), kBlack);
    EXPECT_EQ(dst.canvas().pixel(8, 3), kBlack);
}

Bitmap strip(std::initializer_list<Colour> colours) {
    Bitmap b(static_cast<int>(colours.size()), 1);
    int x = 0;
    for (Colour c : colours) b.canvas().setPixel(x++, 0, c);
    return b;
}

std::vector<Colour> rowOf(const Bitmap& b, int y = 0) {
    std::vector<Colour> out;
    for (int x = 0; x < b.width(); ++x) out.push_back(b.canvas().pixel(x, y));
    return out;
}

struct CopyCase {
    const char* name;
    Rect dest;
    Rect source;
    std::vector<Colour> want;
};

class CopyRect : public testing::TestWithParam<CopyCase> {};

TEST_P(CopyRect, StretchesAndMirrors) {
    const Bitmap src = strip({1, 2, 3, 4});
    Bitmap dst(8, 1);
    dst.canvas().copyRect(GetParam().dest, src, GetParam().source);
    EXPECT_EQ(rowOf(dst), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CopyRect,
    testing::Values(
        CopyCase{"plain", {0, 0, 4, 1}, {0, 0, 4, 1}, {1, 2, 3, 4, 0, 0, 0, 0}},
        CopyCase{"mirroredDest", {4, 0, 0, 1}, {0, 0, 4, 1}, {4, 3, 2, 1, 0, 0, 0, 0}},
        CopyCase{"mirroredSource", {0, 0, 4, 1}, {4, 0, 0, 1}, {4, 3, 2, 1, 0, 0, 0, 0}},
        CopyCase{"bothMirrored", {4, 0, 0, 1}, {4, 0, 0, 1}, {1, 2, 3, 4, 0, 0, 0, 0}},
        CopyCase{"doubled", {0, 0, 8, 1}, {0, 0, 4, 1}, {1, 1, 2, 2, 3, 3, 4, 4}},
        CopyCase{"doubledMirrored", {8, 0, 0, 1}, {0, 0, 4, 1}, {4, 4, 3, 3, 2, 2, 1, 1}},
        CopyCase{"halved", {0, 0, 2, 1}, {0, 0, 4, 1}, {1, 3, 0, 0, 0, 0, 0, 0}},
        CopyCase{"sourceOutside", {0, 0, 4, 1}, {-2, 0, 2, 1}, {0, 0, 1, 2, 0, 0, 0, 0}},
        CopyCase{"destOutside", {-1, 0, 3, 1}, {0, 0, 4, 1}, {2, 3, 4, 0, 0, 0, 0, 0}},
        CopyCase{"empty", {3, 0, 3, 1}, {0, 0, 4, 1}, {0, 0, 0, 0, 0, 0, 0, 0}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Canvas, CopyWithinOneBitmapReadsThePictureAsItWas) {
    Bitmap b(1, 4);
    for (int y = 0; y < 4; ++y) b.canvas().setPixel(0, y, static_cast<Colour>(y + 1));
    b.canvas().copyRect({0, 1, 1, 4}, b, {0, 0, 1, 3});  // scroll down one row
    EXPECT_EQ(b.canvas().pixel(0, 0), 1u);
    EXPECT_EQ(b.canvas().pixel(0, 1), 1u);
    EXPECT_EQ(b.canvas().pixel(0, 2), 2u);
    EXPECT_EQ(b.canvas().pixel(0, 3), 3u);
}

TEST(Canvas, TransparentCopySkipsThePixelsOfTheKeyColour) {
    const Bitmap sprite = strip({kBlue, kRed, kBlue, kGreen});
    Bitmap dst(4, 1);
    dst.canvas().brush().setColor(0x123456);
    dst.canvas().fillRect({0, 0, 4, 1});
    dst.canvas().copyRectTransparent({0, 0, 4, 1}, sprite, {0, 0, 4, 1}, kBlue);
    EXPECT_EQ(rowOf(dst), (std::vector<Colour>{0x123456, kRed, 0x123456, kGreen}));
}

TEST(Bitmap, CopiesAndMovesKeepTheirOwnPixelsAndCanvasState) {
    Bitmap a(2, 2);
    a.canvas().brush().setColor(kRed);
    a.canvas().font().name = "Arial";

    Bitmap copy = a;
    EXPECT_EQ(copy.canvas().font().name, "Arial");
    copy.canvas().fillRect({0, 0, 2, 2});
    EXPECT_EQ(copy.canvas().pixel(0, 0), kRed);
    EXPECT_EQ(a.canvas().pixel(0, 0), kBlack);

    Bitmap moved;
    moved = Bitmap(3, 1);
    moved.canvas().brush().setColor(kGreen);
    moved.canvas().fillRect({0, 0, 3, 1});
    EXPECT_EQ(moved.canvas().pixel(2, 0), kGreen);

    Bitmap assigned(1, 1);
    assigned = copy;
    assigned.canvas().brush().setColor(kBlue);
    assigned.canvas().fillRect({0, 0, 1, 1});
    EXPECT_EQ(assigned.canvas().pixel(0, 0), kBlue);
    EXPECT_EQ(copy.canvas().pixel(0, 0), kRed);
}

TEST(Bitmap, EmptyBitmapsDrawAndCopyNothing) {
    Bitmap empty;
    Bitmap zero(0, 0);
    EXPECT_TRUE(empty.empty());
    EXPECT_TRUE(zero.empty());
    empty.canvas().brush().setColor(kRed);
    empty.canvas().fillRect({0, 0, 5, 5});
    empty.canvas().ellipse(0, 0, 5, 5);
    empty.canvas().lineTo(5, 5);
    Bitmap b(2, 2);
    b.canvas().draw(0, 0, zero);
    b.canvas().stretchDraw({0, 0, 2, 2}, empty);
    EXPECT_EQ(shape(b, kBlack), rows({"##", "##"}));
}

}  // namespace
}  // namespace orba
