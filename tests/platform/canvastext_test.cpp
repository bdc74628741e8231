#include <gtest/gtest.h>

#include <QFontInfo>
#include <thread>
#include <utility>

#include "platform/bitmap.h"
#include "platform/fonts.h"
#include "platform/sjis.h"
#include "platform/sjistext.h"
#include "platform/textcache.h"

namespace orba {
namespace {

// "日本語の歌詞" in Shift-JIS.
const std::string kJapanese = utf8ToSjis("日本語の歌詞");

struct FaceCase {
    const char* face;
    const char* family;
};

class FaceSubstitution : public testing::TestWithParam<FaceCase> {};

TEST_P(FaceSubstitution, ResolvesToAnInstalledFamily) {
    EXPECT_EQ(resolveFontFace(GetParam().face).toStdString(), GetParam().family);
}

INSTANTIATE_TEST_SUITE_P(
    Faces, FaceSubstitution,
    testing::Values(FaceCase{"ＭＳ Ｐゴシック", "IPAPGothic"},
                    FaceCase{"MS UI Gothic", "IPAPGothic"}, FaceCase{"ms ui gothic", "IPAPGothic"},
                    FaceCase{"ＭＳ ゴシック", "IPAGothic"}, FaceCase{"Arial", "Liberation Sans"},
                    FaceCase{"Comic Sans MS", "Comic Neue"},
                    FaceCase{"DejaVu Serif", "DejaVu Serif"},
                    FaceCase{"No Such Face 123", "IPAPGothic"}, FaceCase{"", "IPAPGothic"},
                    FaceCase{kDefaultFontFace, "IPAPGothic"}),
    [](const auto& info) { return "face" + std::to_string(info.index); });

TEST(Fonts, AFaceNameInShiftJisFromAnOldSettingsFileResolvesLikeItsUtf8Form) {
    EXPECT_EQ(resolveFontFace(utf8ToSjis("ＭＳ Ｐゴシック")), resolveFontFace("ＭＳ Ｐゴシック"));
}

TEST(Fonts, PointsBecomePixelsAtNinetySixDpi) {
    EXPECT_EQ(fontPixelSize(19), 25);
    EXPECT_EQ(fontPixelSize(11), 15);
    EXPECT_EQ(fontPixelSize(9), 12);
    EXPECT_EQ(fontPixelSize(-19), 25);
}

TEST(Fonts, ANewCanvasDrawsJapaneseInAJapaneseFace) {
    Bitmap b(300, 60);
    const QFont font = makeQFont(b.canvas().font().name, 19, {});
    EXPECT_EQ(QFontInfo(font).family().toStdString(), "IPAPGothic");
    EXPECT_GE(b.canvas().textWidth(kJapanese), 6 * 10);  // six full-width glyphs
    EXPECT_GT(b.canvas().textHeight(kJapanese), 0);
}

int countColoured(const Bitmap& b, const Rect& r, Colour background) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) n += b.canvas().pixel(x, y) != background;
    return n;
}

TEST(CanvasText, TheFontsCharacterSetDecidesHowLyricBytesAreRead) {
    const std::string utf8 = "Caf\xC3\xA9 \xC3\x85ngstr\xC3\xB6m";  // none of it in Shift-JIS
    Bitmap unicode(300, 60), shiftJis(300, 60), reference(300, 60);
    unicode.canvas().font().charset = kUnicodeCharset;
    EXPECT_EQ(unicode.canvas().textOf(utf8), QString::fromUtf8(utf8));
    EXPECT_EQ(shiftJis.canvas().textOf(kJapanese), QString::fromUtf8("日本語の歌詞"));
    for (Bitmap* b : {&unicode, &shiftJis, &reference}) {
        b->canvas().font().size = 20;
        b->canvas().font().color = 0xFFFFFF;
    }
    unicode.canvas().textOut(2, 2, std::string_view(utf8));
    shiftJis.canvas().textOut(2, 2, std::string_view(utf8));
    reference.canvas().textOut(2, 2, QString::fromUtf8(utf8));
    EXPECT_EQ(unicode.image(), reference.image());
    EXPECT_NE(shiftJis.image(), reference.image());
}

TEST(CanvasText, JapaneseTextDrawsGlyphPixelsOnlyInsideItsBox) {
    Bitmap b(400, 80);
    Canvas& c = b.canvas();
    c.font().size = 19;
    c.font().color = 0xFFFFFF;
    c.brush().setStyle(BrushStyle::Clear);
    const int w = c.textWidth(kJapanese);
    const int h = c.textHeight(kJapanese);
    c.textOut(20, 10, kJapanese);
    const Rect box{20, 10, 20 + w, 10 + h};
    EXPECT_GT(countColoured(b, box, 0), w * h / 10);
    EXPECT_EQ(countColoured(b, {0, 0, 400, 80}, 0), countColoured(b, box, 0));
}

TEST(CanvasText, ASolidBrushPutsAnOpaqueBoxOfTheTextExtentBehindIt) {
    Bitmap b(200, 40);
    Canvas& c = b.canvas();
    c.font().name = "Arial";
    c.font().size = 12;
    c.font().color = 0x00FF00;
    c.brush().setColor(0x000060);
    c.textOut(5, 4, " Debug Mode ");
    const int w = c.textWidth(" Debug Mode ");
    const int h = c.textHeight(" Debug Mode ");
    EXPECT_EQ(c.pixel(5, 4), 0x000060u);
    EXPECT_EQ(c.pixel(5 + w - 1, 4 + h - 1), 0x000060u);
    EXPECT_EQ(c.pixel(5 + w, 4), 0u);
    EXPECT_EQ(c.pixel(5, 4 + h), 0u);
    EXPECT_EQ(c.pixel(4, 4), 0u);
}

// Boxes up to the limit are rasterised whole with room for overhangs; larger
// ones over whole tiles of what shows, never beyond the box.
TEST(CanvasText, ALargeTextIsRasterisedOnlyInTheTilesThatShow) {
    const Rect anywhere{-100000, -100000, 100000, 100000};
    EXPECT_EQ(textRasterArea(100, 20, anywhere), (Rect{-22, -22, 122, 42}));
    EXPECT_EQ(textRasterArea(100000, 1000, {300, 0, 1580, 720}), (Rect{256, 0, 1792, 768}));
    EXPECT_EQ(textRasterArea(100000, 1000, {-5000, -5000, 100, 100}),
              (Rect{-1002, -1002, 256, 256}));
    EXPECT_EQ(textRasterArea(100000, 1000, {200000, 0, 201280, 720}), Rect{});
    EXPECT_EQ(textRasterArea(100000, 1000, {0, 5000, 1280, 5720}), Rect{});
}

// Glyphs of a thousand pixels: a small bitmap shows exactly the part of the
// text that a large one shows at the same place.
TEST(CanvasText, AHugeTextOnASmallBitmapIsThePartALargeOneShows) {
    const auto draw = [](int w, int h, int x, int y) {
        Bitmap b(w, h);
        Canvas& c = b.canvas();
        c.font().size = 700;
        c.font().style.italic = true;
        c.font().color = 0xFFFFFF;
        c.brush().setStyle(BrushStyle::Clear);
        c.textOut(x, y, kJapanese);
        return b;
    };
    const Bitmap small = draw(300, 200, -450, -300);
    const Bitmap large = draw(1300, 1000, 150, 100);  // small's (0, 0) is large's (600, 400)
    int differ = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 300; ++x)
            differ += small.canvas().pixel(x, y) != large.canvas().pixel(x + 600, y + 400);
    EXPECT_EQ(differ, 0);
    EXPECT_GT(countColoured(small, {0, 0, 300, 200}, 0), 1000);
}

TEST(CanvasText, BrokenShiftJisDrawsReplacementCharactersInsteadOfFailing) {
    EXPECT_EQ(sjisText("a\x83"), QString::fromUtf8("a\xEF\xBF\xBD"));
    EXPECT_EQ(sjisText(kJapanese), QString::fromUtf8("日本語の歌詞"));
    EXPECT_EQ(sjisText(kJapanese), QString::fromUtf8("日本語の歌詞"));  // from the cache
    Bitmap b(50, 30);
    b.canvas().brush().setStyle(BrushStyle::Clear);
    b.canvas().font().color = 0xFFFFFF;
    b.canvas().textOut(0, 0, "\x83\xFD\x81");
    EXPECT_GT(countColoured(b, {0, 0, 50, 30}, 0), 0);
}

}  // namespace
}  // namespace orba

namespace orba {
namespace {

// Each text drawn on its own bitmap; more texts than the caches keep, so
// that entries are dropped while the other thread could still be using them.
std::vector<QImage> drawTexts(int rounds) {
    std::vector<QImage> out;
    for (int round = 0; round < rounds; ++round) {
        out.clear();
        for (int i = 0; i < 48; ++i) {
            Bitmap b(260, 40);
            b.canvas().textOut(2, 2, utf8ToSjis("歌詞 " + std::to_string(i * 7919)));
            out.push_back(std::as_const(b).image().copy());
        }
    }
    return out;
}

TEST(TextCaches, TextDrawnOnTwoThreadsAtOnceIsTheTextDrawnAlone) {
    const std::vector<QImage> alone = drawTexts(1);
    std::vector<QImage> other;
    std::thread exportLike([&] { other = drawTexts(12); });
    const std::vector<QImage> here = drawTexts(12);
    exportLike.join();
    ASSERT_EQ(other.size(), alone.size());
    for (std::size_t i = 0; i < alone.size(); ++i) {
        EXPECT_EQ(here[i], alone[i]) << i;
        EXPECT_EQ(other[i], alone[i]) << i;
    }
}

}  // namespace
}  // namespace orba
