// Placement and pixels of the lyric display: line positions, the wipe strip
// and its boundary, the bands behind the text, the overlay's pieces and the
// status message.
#include <gtest/gtest.h>

#include "lyrics/linelayout.h"
#include "lyrics/overlays.h"
#include "lyrics/partyscreens.h"
#include "lyrics/wipe.h"
#include "platform/sjis.h"

namespace orba {
namespace {

const FrameValues k800 = frameValuesFor(800, 600, 15, false);

TEST(LinePosition, SideStyleSlidesInFromTheRightAndCentresInNinetyPercent) {
    EXPECT_EQ(currentLinePosition(k800, 1, 300, 0, 0), (Point{250, 520}));
    EXPECT_EQ(currentLinePosition(k800, 1, 300, 0.5, 0), (Point{490, 520}));
}

TEST(LinePosition, UpStyleRisesFromBelowAndLeavesUpwards) {
    EXPECT_EQ(currentLinePosition(k800, 0, 300, -0.5, 0), (Point{250, 496}));
    EXPECT_EQ(currentLinePosition(k800, 0, 300, 1.0, 0), (Point{250, 568}));
}

TEST(LinePosition, ALineWiderThanTheWindowScrollsLeftAsItIsSung) {
    EXPECT_EQ(currentLinePosition(k800, 1, 1000, 0, 0).x, 40);
    EXPECT_EQ(currentLinePosition(k800, 1, 1000, 0, 5000).x, -107);
    EXPECT_EQ(currentLinePosition(k800, 1, 1000, 0, 10000).x, -254);
}

TEST(LinePosition, NextAndPreviousLinesAreCentredAndMoveWithTheLine) {
    EXPECT_EQ(nextLinePosition(k800, 100, 0), (Point{350, 582}));
    EXPECT_EQ(previousLinePosition(k800, 100, 0), (Point{350, 464}));
    EXPECT_EQ(nextLinePosition(k800, 100, -0.5).y, 573);
}

TEST(EditMarker, PulsesUpAndDownOneStepPerFrame) {
    EditMarker m;
    std::vector<int> levels;
    for (int i = 0; i < 16; ++i) levels.push_back(m.advance());
    EXPECT_EQ(levels, (std::vector<int>{40, 80, 120, 160, 200, 240, 255, 215, 175, 135, 95, 55, 15,
                                        0, 40, 80}));
}

TEST(WipeStrip, CoversTheDonePartAndTheSungShareOfTheSegment) {
    // あいう at 20 pixels a character from x = 100: done あ, sung あい, halfway.
    WipeStrip s = wipeStrip(100, 800, 20, 40, 5000);
    EXPECT_EQ(s.left, 99);
    EXPECT_EQ(s.width, 31);
    EXPECT_EQ(wipeStrip(100, 800, 0, 40, 0).width, 2);
    EXPECT_EQ(wipeStrip(100, 800, 0, 60, 10000).width, 61);  // the whole text + 1
    s = wipeStrip(-50, 800, 100, 100, 0);
    EXPECT_EQ(s.left, -1);
    EXPECT_EQ(s.offset, -50);
    EXPECT_EQ(s.width, 52);
    EXPECT_EQ(wipeStrip(0, 10, 500, 900, 10000).width, 12);  // never beyond the window
}

Bitmap lyricBitmap(int w, int h) {
    Bitmap b(w, h);
    b.canvas().font().size = 20;
    b.canvas().font().charset = kShiftJisCharset;
    return b;
}

// Columns that hold a pixel of the given colour.
std::vector<bool> columnsWith(const Bitmap& b, Colour c) {
    std::vector<bool> cols(b.width());
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.canvas().pixel(x, y) == c) cols[x] = true;
    return cols;
}

TEST(Wipe, SungColoursStopExactlyAtTheBoundary) {
    const std::string text = utf8ToSjis("あいうえお");
    const std::string done = utf8ToSjis("あ");
    const std::string sung = utf8ToSjis("あい");
    Bitmap b = lyricBitmap(300, 50);
    drawKaraokeText(b, 20, 10, 300, 5000, sung, done, true, 100, 0, 0xFFFFFF, text);
    const WipeStrip strip =
        wipeStrip(20, 300, b.canvas().textWidth(done), b.canvas().textWidth(sung), 5000);
    const std::vector<bool> magenta = columnsWith(b, kSungOutline);
    const std::vector<bool> unsung = columnsWith(b, 0xE5E5E5);  // scaleColour(white, 90)
    int lastMagenta = -1;
    for (int x = 0; x < 300; ++x)
        if (magenta[x]) lastMagenta = x;
    EXPECT_GE(lastMagenta, strip.left + strip.width - 4);
    EXPECT_LT(lastMagenta, strip.left + strip.width);
    EXPECT_TRUE(unsung[strip.left + strip.width + 25]);  // う and beyond stay unsung
}

TEST(Wipe, AFadingLineIsDrawnWholeInOneSet) {
    const std::string text = utf8ToSjis("あいう");
    Bitmap b = lyricBitmap(200, 50);
    drawKaraokeText(b, 10, 10, 200, 5000, text, "", true, 100, 0, 0xFFFFFF, text);
    Bitmap fading = lyricBitmap(200, 50);
    drawKaraokeText(fading, 10, 10, 200, 5000, utf8ToSjis("あ"), "", true, 50, 0, 0xFFFFFF, text);
    int magenta = 0;
    for (bool c : columnsWith(fading, kSungOutline)) magenta += c;
    EXPECT_EQ(magenta, 0);  // not all sung: the unsung set throughout
}

TEST(BlueMesh, EveryOtherRowOfTheBottomBandDarkAtTheTop) {
    Bitmap b(800, 600);
    drawBlueMesh(b, k800);
    EXPECT_EQ(b.canvas().pixel(5, 439), 0u);
    EXPECT_EQ(b.canvas().pixel(5, 440), 0u);  // level 0 is black
    EXPECT_EQ(b.canvas().pixel(5, 441), 0u);
    EXPECT_EQ(b.canvas().pixel(5, 442), static_cast<Colour>(2 * 255 / 160) << 16);
    EXPECT_EQ(b.canvas().pixel(799, 598), static_cast<Colour>(158 * 255 / 160) << 16);
    EXPECT_EQ(b.canvas().pixel(5, 599), 0u);
    EXPECT_EQ(blueMeshHeight(frameValuesFor(40, 64, 15, false)), 1);
}

TEST(TextBand, HatchedRowsAndFilledBlock) {
    EXPECT_EQ(textBand(k800, 1, 26).top, 514);
    EXPECT_EQ(textBand(k800, 1, 26).height, 38);
    EXPECT_EQ(textBand(k800, 0, 26).top, 472);
    EXPECT_EQ(textBand(k800, 0, 26).height, 142);

    Bitmap b(800, 600);
    b.canvas().brush().setColor(0xFFFFFF);
    b.canvas().fillRect({0, 0, 800, 600});
    Settings s;
    s.textBack = 1;
    drawTextBand(b, k800, s);
    EXPECT_EQ(b.canvas().pixel(10, 514), 0u);
    EXPECT_EQ(b.canvas().pixel(10, 515), 0xFFFFFFu);
    EXPECT_EQ(b.canvas().pixel(10, 516), 0u);
    EXPECT_EQ(b.canvas().pixel(10, 513), 0xFFFFFFu);
}

TEST(Overlay, FrameRateClimbsOverItsFirstTenFrames) {
    FrameRateSampler s;
    EXPECT_EQ(s.add(15), 6);
    for (int i = 0; i < 8; ++i) s.add(15);
    EXPECT_EQ(s.add(15), 66);
}

TEST(Overlay, TimeRatioShowsTheSinglePrecisionValue) {
    EXPECT_EQ(timeRatioText(1.05f), "1.04999995231628");
    EXPECT_EQ(timeRatioText(1.0f), "1");
}

TEST(StatusMessage, BarsSeparateLinesAndATrailingOneAddsNone) {
    EXPECT_EQ(statusLines("A|B").size(), 2u);
    EXPECT_EQ(statusLines("A||B"), (std::vector<QString>{"A", "", "B"}));
    EXPECT_EQ(statusLines("A|").size(), 1u);
}

TEST(StatusMessage, FullUntilTheLastTwoSecondsThenFading) {
    EXPECT_EQ(statusFade(5000), 100);
    EXPECT_EQ(statusFade(2000), 100);
    EXPECT_EQ(statusFade(1999), 99);
    EXPECT_EQ(statusFade(1000), 50);
}

TEST(StatusMessage, ANewTextGetsFiveSecondsAndTheSameTextRestartsNothing) {
    Bitmap b = lyricBitmap(400, 300);
    const FrameValues f = frameValuesFor(400, 300, 15, false);
    StatusDisplay display;
    Settings s;
    const std::string hello = "hello";
    StatusCountdown c = display.draw(b, f, s, hello, 15000);
    EXPECT_EQ(c.statusTime, 5000 - 15);
    EXPECT_FALSE(c.expired);
    c = display.draw(b, f, s, hello, 10000);  // a writer setting the shown text again
    EXPECT_EQ(c.statusTime, 10000 - 15);
    c = display.draw(b, f, s, hello, 10);
    EXPECT_TRUE(c.expired);
    // Once gone, the same text posted again is new and gets its five seconds.
    EXPECT_EQ(display.draw(b, f, s, hello, 100).statusTime, 5000 - 15);
}

TEST(StatusMessage, NoTextLeavesTheTimeAsItWas) {
    Bitmap b = lyricBitmap(400, 300);
    const StatusCountdown c =
        StatusDisplay().draw(b, frameValuesFor(400, 300, 15, false), Settings{}, "", 1234);
    EXPECT_EQ(c.statusTime, 1234);
    EXPECT_FALSE(c.expired);
}

}  // namespace
}  // namespace orba

namespace orba {
namespace {

TEST(NextUp, IsDrawnAtTheTopRightAndNowhereElse) {
    const FrameValues f = frameValuesFor(800, 600, 15, false);
    Bitmap b = lyricBitmap(800, 600);
    const QImage before = std::as_const(b).image().copy();
    drawNextUp(b, f, Settings{}, "次: みなみ — あさのうた");
    const QImage& after = std::as_const(b).image();
    int right = 0, elsewhere = 0;
    for (int y = 0; y < 600; ++y)
        for (int x = 0; x < 800; ++x)
            if (after.pixel(x, y) != before.pixel(x, y)) ++(x >= 400 && y < 80 ? right : elsewhere);
    EXPECT_GT(right, 200);
    EXPECT_EQ(elsewhere, 0);
    // The lyric font is the frame's again afterwards.
    EXPECT_EQ(b.canvas().font().name, lyricBitmap(800, 600).canvas().font().name);
}

}  // namespace
}  // namespace orba
