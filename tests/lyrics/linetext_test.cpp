#include "lyrics/linetext.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "lyrics/textdrawing.h"
#include "lyrics/wipe.h"
#include "platform/bitmap.h"
#include "platform/sjis.h"
#include "platform/sjistext.h"
#include "tests/lyrics/lyricpixels.h"

namespace orba {
namespace {

using test::differingPixels;
using test::inkedPixels;
using test::repeated;

// Far longer than a short text, yet short enough to shape whole to compare.
const std::string kLongJapanese = repeated(utf8ToSjis("あいうえお歌詞の行"), 6000);
const std::string kLongLatin = repeated("A lyric line, far too long. ", 6000);

Bitmap lyricBitmap(int w, int h, int size = 19, const char* face = kDefaultFontFace) {
    Bitmap b(w, h);
    b.canvas().font().name = face;
    b.canvas().font().size = size;
    b.canvas().font().charset = kShiftJisCharset;
    return b;
}

// Within what anti-aliasing may round differently where a glyph's outline
// meets the edge of what is rasterised.
bool nearColour(Colour a, Colour b) {
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) -
                     static_cast<int>((b >> shift) & 0xFF)) > 4)
            return false;
    return true;
}

TEST(LineText, AShortTextIsMeasuredAndDrawnAsTheCanvasDoes) {
    Bitmap b = lyricBitmap(10, 10);
    const std::string text = utf8ToSjis("今日はいい天気");
    EXPECT_EQ(lyricTextWidth(b.canvas(), text), b.canvas().textWidth(text));
    EXPECT_EQ(lyricPrefixWidth(b.canvas(), text, text.substr(0, 4)),
              b.canvas().textWidth(text.substr(0, 4)));
    const ShownText shown = shownText(b.canvas(), -5000, text, 0, 10);
    EXPECT_EQ(shown.x, -5000);
    EXPECT_EQ(shown.text, text);
}

// A long text is measured by its characters; the sums keep to the width of
// the text shaped whole, and a prefix to the width of the prefix.
TEST(LineText, ALongTextMeasuresAsTheWholeTextWithinAFractionOfAPercent) {
    Bitmap b = lyricBitmap(10, 10);
    Canvas& c = b.canvas();
    for (const std::string* text : {&kLongJapanese, &kLongLatin}) {
        const int whole = c.textWidth(sjisText(*text));
        EXPECT_NEAR(lyricTextWidth(c, *text), whole, whole / 500);
        for (std::size_t bytes : {std::size_t{18}, std::size_t{3000}, text->size() - 27}) {
            const std::string prefix = text->substr(0, bytes);
            const int want = c.textWidth(sjisText(prefix));
            EXPECT_NEAR(lyricPrefixWidth(c, *text, prefix), want, 1 + want / 500) << bytes;
        }
    }
    // Not a prefix: measured on its own.
    const std::string other = utf8ToSjis("別の行");
    EXPECT_EQ(lyricPrefixWidth(c, kLongJapanese, other), c.textWidth(other));
}

TEST(LineText, OnlyThePiecesOfALongTextThatReachTheColumnsAreShown) {
    Bitmap b = lyricBitmap(10, 10);
    Canvas& c = b.canvas();
    const int width = lyricTextWidth(c, kLongJapanese);
    for (int x : {0, -5000, -(width / 2), 250 - width}) {
        const ShownText shown = shownText(c, x, kLongJapanese, 0, 300);
        ASSERT_FALSE(shown.text.empty()) << x;
        EXPECT_LT(shown.text.size(), 1000u);
        EXPECT_LE(shown.x, 0);
        EXPECT_GE(shown.x + c.textWidth(shown.text), std::min(300, x + width) - 1);
        // Whole characters from the text's own character boundaries.
        const std::size_t at = static_cast<std::size_t>(shown.text.data() - kLongJapanese.data());
        EXPECT_EQ(at % 2, 0u);
        EXPECT_EQ(sjisText(shown.text).indexOf(QChar(0xFFFD)), -1);
    }
    EXPECT_TRUE(shownText(c, 400, kLongJapanese, 0, 300).text.empty());
    EXPECT_TRUE(shownText(c, -width - 400, kLongJapanese, 0, 300).text.empty());
}

// In a face of full-width Japanese every advance is a whole em, so the
// pieces fall where the text shaped whole puts its glyphs: the frame shows
// the same pixels anywhere along the line.
TEST(LineText, ALongLineShowsWhatTheWholeLineShowsThere) {
    for (int x : {10, -20000}) {
        Bitmap pieces = lyricBitmap(300, 60, 19, "MS Gothic");
        drawOutlinedText(pieces, x, 15, false, 100, 0, 0x7F7F7F, 0xFFFFFF, kLongJapanese);
        Bitmap whole = lyricBitmap(300, 60, 19, "MS Gothic");
        drawOutlinedText(whole, x, 15, false, 100, 0, 0x7F7F7F, 0xFFFFFF, sjisText(kLongJapanese));
        EXPECT_GT(inkedPixels(pieces), 1000) << x;
        EXPECT_EQ(differingPixels(pieces, whole), 0) << x;
    }
}

TEST(LineText, ALongKaraokeLineWipesAsItsStartWould) {
    const std::string start = kLongJapanese.substr(0, 400);
    const std::string done = kLongJapanese.substr(0, 6), sung = kLongJapanese.substr(0, 10);
    Bitmap longLine = lyricBitmap(300, 60);
    drawKaraokeText(longLine, 10, 15, 300, 4000, sung, done, true, 100, 0, 0xFFFFFF, kLongJapanese);
    Bitmap shortLine = lyricBitmap(300, 60);
    drawKaraokeText(shortLine, 10, 15, 300, 4000, sung, done, true, 100, 0, 0xFFFFFF, start);
    EXPECT_GT(inkedPixels(longLine), 1000);
    EXPECT_EQ(differingPixels(longLine, shortLine), 0);
}

// Glyphs a thousand pixels high, faded or wiped: a small frame shows exactly
// what a large one shows of them, with no bitmap as large as the text.
TEST(LineText, HugeGlyphsFadeAndWipeOnASmallFrameAsOnALargeOne) {
    const std::string text = utf8ToSjis("あいう");
    const std::string sung = utf8ToSjis("あい");
    const auto draw = [&](int w, int h, int x, int y, bool wipe) {
        Bitmap b = lyricBitmap(w, h, 700);
        b.canvas().brush().setColor(0x402010);
        b.canvas().fillRect({0, 0, w, h});
        if (wipe)
            drawKaraokeText(b, x, y, w, 5000, sung, "", true, 100, 0, 0xFFFFFF, text);
        else
            drawOutlinedText(b, x, y, true, 50, 0, 0x7F7F7F, 0xFFFFFF, text);
        return b;
    };
    for (bool wipe : {false, true}) {
        const Bitmap small = draw(300, 200, -700, -500, wipe);
        const Bitmap large = draw(1300, 1000, 0, 0, wipe);  // small's (0, 0) is large's (700, 500)
        int differ = 0, inked = 0;
        for (int y = 0; y < 200; ++y) {
            for (int x = 0; x < 300; ++x) {
                differ +=
                    !nearColour(small.canvas().pixel(x, y), large.canvas().pixel(x + 700, y + 500));
                inked += small.canvas().pixel(x, y) != 0x402010;
            }
        }
        EXPECT_EQ(differ, 0) << (wipe ? "wipe" : "fade");
        EXPECT_GT(inked, 1000) << (wipe ? "wipe" : "fade");
    }
}

}  // namespace
}  // namespace orba
