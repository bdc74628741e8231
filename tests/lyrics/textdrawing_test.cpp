#include "lyrics/textdrawing.h"

#include <gtest/gtest.h>

#include "platform/blend.h"
#include "platform/pixelrows.h"
#include "platform/sjis.h"

namespace orba {
namespace {

const std::string kLine = utf8ToSjis("今日はいい天気");

struct ScaleCase {
    Colour colour;
    int percent;
    Colour want;
};

class ScaleColour : public testing::TestWithParam<ScaleCase> {};

TEST_P(ScaleColour, ScalesEachChannelWithIntegerDivision) {
    EXPECT_EQ(scaleColour(GetParam().colour, GetParam().percent), GetParam().want);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScaleColour,
    testing::Values(ScaleCase{0x0080FF, 50, 0x00407F}, ScaleCase{0xFFFFFF, 90, 0xE5E5E5},
                    ScaleCase{0xFFFFFF, 40, 0x666666}, ScaleCase{0xE5E5E5, 40, 0x5B5B5B},
                    ScaleCase{0xFF00FF, 75, 0xBF00BF}, ScaleCase{0x123456, 0, 0x000000},
                    ScaleCase{0x123456, 100, 0x123456}, ScaleCase{0x01FFFFFF, 100, 0x01FFFFFF}),
    [](const auto& info) { return "case" + std::to_string(info.index); });

TEST(LyricFont, SizesFollowTheWindowUnits) {
    EXPECT_EQ(currentLineFontSize(120, 16), 19);
    EXPECT_EQ(currentLineFontSize(50, 1), 0);
    EXPECT_EQ(currentLineFontSize(300, 40), 120);
    EXPECT_EQ(sideLineFontSize(16), 11);
    EXPECT_EQ(sideLineFontSize(30), 21);
    EXPECT_EQ(sideLineFontSize(1), 0);
}

TEST(LyricFont, FaceIsSetEveryFrameSoAnEarlierPhasesFaceNeverCarriesOver) {
    Bitmap b(1, 1);
    Font& font = b.canvas().font();
    font.name = "Comic Sans MS";
    font.style.bold = true;
    font.style.underline = true;
    font.charset = kDefaultCharset;

    Settings s;
    s.fontBold = false;
    s.fontItalic = true;
    setLyricFont(b.canvas(), s);
    EXPECT_EQ(font.name, kDefaultFontFace);
    EXPECT_EQ(font.style, (FontStyles{false, true, false, false}));
    EXPECT_EQ(font.charset, kShiftJisCharset);

    s.fontSpecified = true;
    s.fontName = "IPAMincho";
    s.fontBold = true;
    s.fontItalic = false;
    setLyricFont(b.canvas(), s);
    EXPECT_EQ(font.name, "IPAMincho");
    EXPECT_EQ(font.style, (FontStyles{true, false, false, false}));
}

Bitmap picture(int w, int h) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.canvas().setPixel(x, y, static_cast<Colour>((x * 7919 + y * 104729) % 0xFFFFFF));
    return b;
}

Bitmap lyricTarget(const Bitmap& background, bool underline = false) {
    Bitmap b = background;
    b.canvas().font().size = 19;
    b.canvas().font().style.bold = true;
    b.canvas().font().style.underline = underline;
    return b;
}

int changedPixels(const Bitmap& a, const Bitmap& b) {
    int n = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) n += a.canvas().pixel(x, y) != b.canvas().pixel(x, y);
    return n;
}

TEST(OutlinedText, AFadedLineIsTheFullLineBlendedOverWhatWasUnderItAndNothingElse) {
    const Bitmap background = picture(360, 60);
    constexpr int x = 20, y = 15;

    Bitmap full = lyricTarget(background, true);
    drawOutlinedText(full, x, y, false, 100, 0x000000, 0x7F7F7F, 0xFFFFFF, kLine);
    Bitmap faded = lyricTarget(background, true);
    drawOutlinedText(faded, x, y, true, 40, 0x000000, 0x7F7F7F, 0xFFFFFF, kLine);

    const int w = faded.canvas().textWidth(kLine) + 2;
    const int h = faded.canvas().textHeight(kLine) + 2;
    const int alpha = blendAlpha(40);
    int inside = 0;
    for (int py = 0; py < 60; ++py) {
        for (int px = 0; px < 360; ++px) {
            const Colour under = background.canvas().pixel(px, py);
            const Colour got = faded.canvas().pixel(px, py);
            const bool inBox = px >= x - 1 && px < x - 1 + w && py >= y - 1 && py < y - 1 + h;
            if (!inBox) {
                ASSERT_EQ(got, under) << px << "," << py;
                continue;
            }
            std::uint32_t want = toPixel(under);
            const std::uint32_t drawn = toPixel(full.canvas().pixel(px, py));
            blendRow(&want, &drawn, 1, alpha);
            ASSERT_EQ(got, fromPixel(want)) << px << "," << py;
            inside += got != under;
        }
    }
    EXPECT_GT(inside, 200);
    // The full line's shadow reaches one column and one row beyond the faded
    // line's bitmap; the underline makes that column certain to be inked.
    int beyond = 0;
    for (int py = 0; py < 60; ++py)
        beyond += full.canvas().pixel(x - 1 + w, py) != background.canvas().pixel(x - 1 + w, py);
    EXPECT_GT(beyond, 0);
}

TEST(OutlinedText, OpacityZeroWithBlendDrawsNothing) {
    const Bitmap background = picture(300, 50);
    Bitmap b = lyricTarget(background);
    drawOutlinedText(b, 10, 10, true, 0, 0, 0xFF00FF, 0xFFFFFF, kLine);
    EXPECT_EQ(changedPixels(b, background), 0);
}

TEST(OutlinedText, WithoutBlendALowerOpacityDarkensTheColoursInstead) {
    Bitmap b = lyricTarget(Bitmap(300, 50));
    drawOutlinedText(b, 10, 10, false, 75, 0, 0x000000, 0xFFFFFF, kLine);
    Colour brightest = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 300; ++x) brightest = std::max(brightest, b.canvas().pixel(x, y));
    EXPECT_EQ(brightest, 0xBFBFBFu);  // scaleColour(white, 75), reached inside the strokes
    EXPECT_EQ(b.canvas().brush().style(), BrushStyle::Clear);
}

TEST(OutlinedText, FullOpacityDrawsTheFillInItsOwnColourOverTheOutline) {
    Bitmap b = lyricTarget(Bitmap(300, 50));
    drawOutlinedText(b, 10, 10, true, 100, 0x000000, 0xFF00FF, 0x00FF00, kLine);
    int fill = 0, outline = 0;
    for (int y = 0; y < 50; ++y)
        for (int x = 0; x < 300; ++x) {
            fill += b.canvas().pixel(x, y) == 0x00FF00u;
            outline += b.canvas().pixel(x, y) == 0xFF00FFu;
        }
    EXPECT_GT(fill, 10);
    EXPECT_GT(outline, 10);
}

}  // namespace
}  // namespace orba
