#include "lyrics/unicoderuler.h"

#include <gtest/gtest.h>

#include "lyrics/textdrawing.h"
#include "lyrics/wipe.h"
#include "platform/bitmap.h"
#include "tests/lyrics/lyricpixels.h"

namespace orba {
namespace {

using test::differingPixels;
using test::inkedPixels;
using test::repeated;

struct UnitCase {
    const char* name;
    std::string text;
    std::size_t unit;  // bytes of the first unit
};

void PrintTo(const UnitCase& c, std::ostream* os) {
    *os << c.name;
}

class TextUnits : public testing::TestWithParam<UnitCase> {};

TEST_P(TextUnits, HoldWhatTheLayoutShapesTogether) {
    const UnitCase& c = GetParam();
    EXPECT_EQ(textUnitEnd(c.text, 0, c.text.size()), c.unit);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextUnits,
                         testing::Values(UnitCase{"Kana", "あい", 3}, UnitCase{"Latin", "AV", 1},
                                         UnitCase{"CombiningAccent", "e\u0301\u0323x", 5},
                                         UnitCase{"VariationSelector", "葛\U000E0100い", 7},
                                         UnitCase{"JoinedEmoji", "👨\u200D👩\u200D👧x", 18},
                                         UnitCase{"SkinTone", "👍🏽x", 8},
                                         UnitCase{"FlagsArePairs", "🇯🇵🇫🇷", 8},
                                         UnitCase{"HangulJamo", "\u1100\u1161\u11A8가", 9},
                                         UnitCase{"HangulSyllable", "한국", 3},
                                         UnitCase{"ArabicWordUpToTheSpace", "مرحبا بك", 10},
                                         UnitCase{"DevanagariConjunct", "नमस्ते दुनिया", 18},
                                         UnitCase{"BrokenBytesTogether", "\xFF\xFE\x80あ", 3},
                                         UnitCase{"OverlongFormIsBroken", "\xE0\x80\x80\xFF" "a", 4},
                                         UnitCase{"LoneMarkAtTheStart", "\u0301a", 2},
                                         UnitCase{"ManyMarksAreCut", "a" + repeated("\u0301", 200),
                                                  1 + 2 * (kMaxUnitChars - 1)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextUnits, EndAtTheLimit) {
    const std::string text = "e\u0301\u0301";
    EXPECT_EQ(textUnitEnd(text, 0, 3), 3u);
    EXPECT_EQ(textUnitEnd(text, 1, 2), 2u);  // inside a character: up to the limit
    EXPECT_EQ(textUnitEnd(text, 5, 5), 5u);
}

// Texts over kLongTextBytes, yet short enough to lay out whole to compare.
const std::string kMixed =
    repeated("今日もいい天気ですね。AVATAR Wavy café ｶﾗｵｹ 👍🏽 ", 6000);
const std::string kMarks = repeated("e\u0301te\u0301 Ça 葛\U000E0100 한국어 ", 5000);
const std::string kOneRun = repeated("Wavyあ", 5000);
// A U+009C ends what the layout measures of a text.
const std::string kCutter = repeated("Wavy", 3000) + "\u009C" + repeated("More", 3000);

Bitmap lyricBitmap(int w, int h, const char* face = kDefaultFontFace, bool italic = false) {
    Bitmap b(w, h);
    b.canvas().font().name = face;
    b.canvas().font().size = 19;
    b.canvas().font().style.italic = italic;
    b.canvas().font().charset = kUnicodeCharset;
    return b;
}

struct Face {
    const char* name;
    bool italic;
};
// The default face, one that kerns Latin pairs, and a slanted one whose
// glyphs overhang their advance.
const Face kFaces[] = {{kDefaultFontFace, false}, {"Arial", false}, {kDefaultFontFace, true}};

TEST(UnicodeRuler, ALongTextMeasuresAsTheWholeTextLaidOut) {
    for (const Face& face : kFaces) {
        Bitmap b = lyricBitmap(10, 10, face.name, face.italic);
        Canvas& c = b.canvas();
        for (const std::string* text : {&kMixed, &kMarks, &kOneRun, &kCutter}) {
            EXPECT_EQ(lyricTextWidth(c, *text), c.textWidth(c.textOf(*text))) << face.name;
            for (std::size_t bytes : {std::size_t{7}, std::size_t{3001}, text->size() - 9}) {
                while ((static_cast<unsigned char>((*text)[bytes]) & 0xC0) == 0x80) ++bytes;
                const std::string prefix = text->substr(0, bytes);
                EXPECT_EQ(lyricPrefixWidth(c, *text, prefix), c.textWidth(c.textOf(prefix)))
                    << face.name << " " << bytes;
            }
        }
    }
}

// The part drawn begins where the text laid out whole puts that glyph, to
// the sixty-fourth of a pixel, so the frame shows the same pixels anywhere
// along the line, faded or not.
TEST(UnicodeRuler, ALongLineShowsWhatTheWholeLineShowsThere) {
    for (const Face& face : kFaces) {
        for (const std::string* text : {&kMixed, &kMarks, &kOneRun}) {
            Bitmap probe = lyricBitmap(10, 10, face.name, face.italic);
            const int width = lyricTextWidth(probe.canvas(), *text);
            for (int x : {10, -20000, 250 - width}) {
                for (int opacity : {100, 60}) {
                    Bitmap pieces = lyricBitmap(300, 60, face.name, face.italic);
                    drawOutlinedText(pieces, x, 15, true, opacity, 0, 0x7F7F7F, 0xFFFFFF, *text);
                    Bitmap whole = lyricBitmap(300, 60, face.name, face.italic);
                    drawOutlinedText(whole, x, 15, true, opacity, 0, 0x7F7F7F, 0xFFFFFF,
                                     whole.canvas().textOf(*text));
                    EXPECT_GT(inkedPixels(pieces), 1000) << face.name << " " << x;
                    EXPECT_EQ(differingPixels(pieces, whole), 0) << face.name << " " << x;
                }
            }
        }
    }
}

// The unsung rest of a karaoke line is laid out on its own, as it always
// was, though it is measured by the ruler of the whole line.
TEST(UnicodeRuler, TheRestOfALongLineShowsWhatItShowsOnItsOwn) {
    for (const Face& face : kFaces) {
        for (std::size_t from : {std::size_t{3}, std::size_t{2997}, kMixed.size() / 2}) {
            while ((static_cast<unsigned char>(kMixed[from]) & 0xC0) == 0x80) ++from;
            Bitmap rest = lyricBitmap(300, 60, face.name, face.italic);
            drawOutlinedText(rest, -700, 15, false, 100, 0, 0x7F7F7F, 0xFFFFFF, kMixed, from);
            Bitmap alone = lyricBitmap(300, 60, face.name, face.italic);
            drawOutlinedText(alone, -700, 15, false, 100, 0, 0x7F7F7F, 0xFFFFFF,
                             alone.canvas().textOf(std::string_view(kMixed).substr(from)));
            EXPECT_GT(inkedPixels(rest), 1000) << from;
            EXPECT_EQ(differingPixels(rest, alone), 0) << face.name << " " << from;
        }
    }
}

TEST(UnicodeRuler, ALongKaraokeLineWipesAsItsStartWould) {
    const std::string start = kMixed.substr(0, 500);
    const std::string done = kMixed.substr(0, 12), sung = kMixed.substr(0, 21);
    for (int progress : {0, 4000}) {
        Bitmap longLine = lyricBitmap(300, 60);
        drawKaraokeText(longLine, 10, 15, 300, progress, sung, done, true, 100, 0, 0xFFFFFF,
                        kMixed);
        Bitmap shortLine = lyricBitmap(300, 60);
        drawKaraokeText(shortLine, 10, 15, 300, progress, sung, done, true, 100, 0, 0xFFFFFF,
                        start);
        EXPECT_GT(inkedPixels(longLine), 1000);
        EXPECT_EQ(differingPixels(longLine, shortLine), 0) << progress;
    }
}

// However the text is made, the part drawn for a frame stays small and
// whole: a run of four megabytes with no space, a letter with a hundred
// thousand accents.
TEST(UnicodeRuler, OnlyPiecesNearTheColumnsAreShown) {
    const std::string run = repeated("歌を歌いましょう", 4 << 20);
    const std::string marks = "a" + repeated("\u0301", 200000) + "b";
    Bitmap b = lyricBitmap(10, 10);
    Canvas& c = b.canvas();
    for (const std::string* text : {&run, &marks}) {
        const int width = lyricTextWidth(c, *text);
        for (int x : {0, -5000, -(width / 2), 250 - width}) {
            const ShownText shown = shownText(c, x, *text, 0, 300);
            ASSERT_FALSE(shown.text.empty()) << x;
            EXPECT_LT(shown.text.size(), 64u << 10) << x;
            EXPECT_LE(shown.x, 0) << x;
            EXPECT_EQ(c.textOf(shown.text).indexOf(QChar(0xFFFD)), -1) << x;
        }
        EXPECT_TRUE(shownText(c, 400, *text, 0, 300).text.empty());
        EXPECT_TRUE(shownText(c, -width - 400, *text, 0, 300).text.empty());
    }
}

// Only hostile text holds a U+009C; a long one is drawn as far as it is
// measured, while the whole text laid out would still draw a few glyphs more.
TEST(UnicodeRuler, ALongTextIsDrawnUpToItsFirstLengthSeparator) {
    Bitmap b = lyricBitmap(10, 10);
    Canvas& c = b.canvas();
    const int width = lyricTextWidth(c, kCutter);
    EXPECT_EQ(width, lyricPrefixWidth(c, kCutter, kCutter.substr(0, 3000)));
    const std::size_t cutter = kCutter.find("\u009C");
    for (int x : {300 - width, 100 - width}) {
        const ShownText shown = shownText(c, x, kCutter, 0, 300);
        EXPECT_FALSE(shown.text.empty()) << x;
        EXPECT_EQ(shown.text.data() + shown.text.size(), kCutter.data() + cutter) << x;
    }
    EXPECT_TRUE(shownText(c, -width - 400, kCutter, 0, 300).text.empty());
    EXPECT_FALSE(shownText(c, -1000, kCutter, 0, 300, cutter + 2).text.empty());
}

}  // namespace
}  // namespace orba
