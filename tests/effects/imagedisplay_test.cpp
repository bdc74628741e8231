#include "effects/imagedisplay.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "demo/pictures/jpegwriter.h"
#include "effects/imagelist.h"
#include "effects/imagestyles.h"
#include "tests/support/pictures.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

using test::TempDir;
using test::writeFile;

using test::nearColour;

const auto solid = &test::solidImage;

TEST(ImageList, JpgFilesOfAnyCaseSortedWithoutRegardToCase) {
    TempDir dir;
    for (const char* name : {"b.JPG", "a.jpg", "C.Jpg", "d.jpeg", "e.png", "jpg", "f.jpg.txt"})
        writeFile(dir.file(name), "x");
    std::filesystem::create_directory(dir.file("folder.jpg"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.jpg").c_str(), 0600), 0);
    const std::string p = dir.path() + "/";
    EXPECT_EQ(loadImageList(dir.path()),
              (std::vector<std::string>{p + "a.jpg", p + "b.JPG", p + "C.Jpg"}));
    EXPECT_EQ(loadImageList(dir.path() + "/").front(), p + "a.jpg");
    EXPECT_TRUE(loadImageList(dir.file("missing")).empty());
    EXPECT_TRUE(loadImageList("").empty());
}

TEST(ImageStyles, TransitionAndFadeTimes) {
    struct Case {
        int slideTime, transition, fade;
    };
    for (const Case& c : {Case{5000, 500, 1000}, Case{2000, 500, 1000}, Case{1999, 499, 999},
                          Case{1000, 250, 500}, Case{3, 0, 1}})
        EXPECT_EQ(std::pair(transitionTime(c.slideTime), fadeTime(c.slideTime)),
                  std::pair(c.transition, c.fade))
            << c.slideTime;
}

TEST(ImageStyles, SpreadAndSlideAtTheirEnds) {
    EXPECT_EQ(spreadDistance(0, 5000, 800), 266);  // a third of the width
    EXPECT_EQ(spreadDistance(499, 5000, 800), 0);  // no remainder to take: tiles in place
    EXPECT_EQ(spreadDistance(2500, 5000, 800), 0);
    EXPECT_EQ(spreadDistance(5000, 5000, 800), 1600);  // twice the width
    EXPECT_EQ(slideOffset(0, 5000, 800, 100), 700);    // at the right edge
    EXPECT_EQ(slideOffset(5000, 5000, 800, 100), -700);
    // No transition time (a slide time below 4): neither divides by it.
    for (int timer : {0, 1, 2, 3, 5}) EXPECT_EQ(slidePhase(timer, 3), SlidePhase::Shown);
}

TEST(ImageStyles, OpacityAndSlideTimeFromAHandEditedFileNeverOverflow) {
    // The cross-fade's share of the opacity, at either end of the int range.
    EXPECT_EQ(fadedOpacity(INT_MAX, 50), INT_MAX / 2);
    EXPECT_EQ(fadedOpacity(INT_MAX, 100), INT_MAX);
    EXPECT_EQ(fadedOpacity(INT_MIN, 99), static_cast<int>(INT_MIN * 99LL / 100));
    EXPECT_EQ(fadedOpacity(100, 45), 45);
    EXPECT_EQ(fadedOpacity(-7, 50), -3);  // truncated toward 0, as ever
    // A slide time that the timer never passes leaves the timer at its top.
    EXPECT_EQ(advancedSlideTimer(100, 15), 115);
    EXPECT_EQ(advancedSlideTimer(INT_MAX - 15, 15), INT_MAX);
    EXPECT_EQ(advancedSlideTimer(INT_MAX - 14, 15), INT_MAX);
    EXPECT_EQ(advancedSlideTimer(INT_MAX, 15), INT_MAX);
    // Extreme slide times have a transition that neither overflows nor divides by 0.
    for (int slideTime : {INT_MAX, INT_MIN, -1, 0})
        for (int timer : {0, 15, 2500, INT_MAX}) {
            EXPECT_GE(spreadDistance(timer, slideTime, 800), 0) << slideTime << " " << timer;
            EXPECT_LE(std::abs(slideOffset(timer, slideTime, 800, 100)), 800);
        }
}

TEST(ImageStyles, DecodingScaleIsTheLargestThatFits) {
    struct Case {
        int pw, ph, cw, ch;
        double factor;
        int denominator;
    };
    const Case cases[] = {
        {4000, 3000, 1920, 1080, 0.7, 2},  // 2000 x 1500 within 2742 x 1542
        {4000, 3000, 800, 600, 0.7, 4},
        {640, 480, 800, 600, 1.5, 2},   // at most two thirds of the client
        {100, 1000, 800, 600, 1.0, 2},  // the height alone decides
        {100, 100, 1, 1, 1.5, 8},       // nothing fits: the smallest
        {4000, 3000, 10, 10, 0, 1},     // no factor: full size
    };
    for (const Case& c : cases)
        EXPECT_EQ(jpegScaleFor(c.pw, c.ph, c.cw, c.ch, c.factor), c.denominator)
            << c.pw << "x" << c.ph << " in " << c.cw << "x" << c.ch << " / " << c.factor;
}

class Slideshow : public ::testing::Test {
protected:
    std::string picture(const char* name, const QImage& img) {
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(writeJpeg(path, img));
        return path;
    }
    std::string bad(const char* name, const std::string& bytes) {
        writeFile(m_dir.file(name), bytes);
        return m_dir.file(name);
    }
    void frames(int n, int cw = 100, int ch = 100) {
        for (int i = 0; i < n; ++i) {
            // What the background phase would do.
            m_back.canvas().brush().setColor(0);
            m_back.canvas().fillRect({0, 0, cw, ch});
            m_display.draw(m_back, frameValuesFor(cw, ch, 15, m_first), m_settings, m_files, 1000);
        }
        m_first = false;
    }

    TempDir m_dir;
    Settings m_settings = [] {
        Settings s;
        s.useImages = true;
        return s;
    }();
    std::vector<std::string> m_files;
    ImageDisplay m_display;
    Bitmap m_back{100, 100};
    bool m_first = true;
};

TEST_F(Slideshow, UndecodablePicturesArePassedOver) {
    m_files = {bad("empty.jpg", ""), bad("png.jpg", "\x89PNG\r\n\x1a\n...."),
               picture("red.jpg", solid(30, 20, Qt::red))};
    frames(1);
    EXPECT_EQ(m_display.pictureA().width(), 30);
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(50, 50), 0x0000FF));
    EXPECT_EQ(m_display.imageIndex(), 0);  // all three tried, back at the start
}

TEST_F(Slideshow, ListOfNothingButBadFilesOrAVanishedFolderDrawsNothing) {
    m_files = {bad("a.jpg", "junk"), bad("b.jpg", ""), m_dir.file("gone.jpg")};
    for (int style = 0; style < 6; ++style) {
        m_settings.imageStyle = style;
        frames(400);
        EXPECT_EQ(m_back.canvas().pixel(50, 50), 0u) << "style " << style;
    }
    m_files = {picture("red.jpg", solid(30, 20, Qt::red))};
    m_settings.imageStyle = 0;
    m_display.restart();
    frames(1);
    std::filesystem::remove_all(m_dir.path());
    frames(400);  // the next picture change finds the folder gone
    EXPECT_TRUE(m_display.pictureA().empty());
}

TEST_F(Slideshow, WidePicturesAreCroppedToTheirCentreAndNarrowOnesShownWhole) {
    QImage halves = solid(130, 60, Qt::red);
    for (int y = 0; y < 60; ++y)
        for (int x = 65; x < 130; ++x) halves.setPixel(x, y, qRgb(0, 0, 255));
    m_files = {picture("halves.jpg", halves)};
    frames(1);
    ASSERT_EQ(m_display.pictureA().width(), 100);
    EXPECT_EQ(m_display.pictureA().height(), 60);
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(40, 50), 0x0000FF));
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(60, 50), 0xFF0000));
    EXPECT_EQ(m_back.canvas().pixel(50, 19), 0u);  // centred: rows 20..79
}

TEST_F(Slideshow, CrossWithOneFileShowsItBothWays) {
    m_settings.imageStyle = 1;
    m_files = {picture("red.jpg", solid(40, 30, Qt::red))};
    frames(1);
    EXPECT_EQ(m_display.pictureA().width(), 40);
    EXPECT_EQ(m_display.pictureB().width(), 40);
    EXPECT_EQ(m_display.imageIndex(), 0);
}

TEST_F(Slideshow, ASongLoadStartsAgainWithTheFirstPicture) {
    m_files = {picture("1.jpg", solid(10, 10, Qt::red)), picture("2.jpg", solid(10, 10, Qt::green)),
               picture("3.jpg", solid(10, 10, Qt::blue))};
    m_settings.slideTime = 1000;
    frames(150);
    EXPECT_NE(m_display.imageIndex(), 1);
    m_display.restart();
    EXPECT_EQ(m_display.slideTimer(), 0);
    frames(1);
    EXPECT_EQ(m_display.imageIndex(), 1);
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(50, 50), 0x0000FF));
}

// Every slide time the dialog sets keeps its own pace; a shorter one from a
// hand-edited file changes pictures no faster than the shortest of them.
TEST_F(Slideshow, SlideTimesBelowTheDialogsShortestChangePicturesAtItsPace) {
    m_files = {picture("1.jpg", solid(10, 10, Qt::red)), picture("2.jpg", solid(10, 10, Qt::green)),
               picture("3.jpg", solid(10, 10, Qt::blue))};
    const auto changes = [&](int slideTime, int style) {
        m_settings.slideTime = slideTime;
        m_settings.imageStyle = style;
        m_display = ImageDisplay();
        std::string indices;
        for (int i = 0; i < 200; ++i) {
            frames(1);
            indices += static_cast<char>('0' + m_display.imageIndex());
        }
        return indices;
    };
    for (int style : {0, 3, 4, 5}) {
        SCOPED_TRACE(style);
        const std::string shortest = changes(500, style);
        for (int slideTime : {-1000, 0, 3, 100, 499})
            EXPECT_EQ(changes(slideTime, style), shortest);
        EXPECT_NE(changes(1000, style), shortest);
    }
}

// At 110 ms frames and 100 rows the strip moves exactly one row a frame:
// each frame is the one before moved down by a row, across every turn of the
// strip and every picture dropped into its hidden top part.
TEST_F(Slideshow, VerticalScrollMovesTheWholePictureDownSmoothly) {
    m_settings.imageStyle = 2;
    m_files = {picture("red.jpg", solid(30, 20, Qt::red)),
               picture("green.jpg", solid(40, 45, Qt::green))};
    int dropped = 0;
    QImage before;
    for (int frame = 0; frame < 400; ++frame) {
        m_back.canvas().brush().setColor(0);
        m_back.canvas().fillRect({0, 0, 100, 100});
        m_display.draw(m_back, frameValuesFor(100, 100, 110, frame == 0), m_settings, m_files,
                       1000);
        dropped += m_display.slideTimer() == 110;
        const QImage now = m_back.image();
        for (int y = 1; frame > 0 && y < 100; ++y)
            ASSERT_EQ(std::memcmp(now.constScanLine(y), before.constScanLine(y - 1), 400), 0)
                << "frame " << frame << " row " << y;
        before = now;
    }
    EXPECT_GT(dropped, 15);
    int lit = 0;
    for (int y = 0; y < 100; ++y) lit += m_back.canvas().pixel(50, y) != 0;
    EXPECT_GT(lit, 0);
}

TEST_F(Slideshow, CrossFadeBlendsTheNewPictureOverTheOld) {
    m_settings.imageStyle = 5;
    m_settings.slideTime = 2000;
    m_files = {picture("white.jpg", solid(20, 20, Qt::white)),
               picture("black.jpg", solid(20, 20, Qt::black))};
    frames(1);
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(50, 50), 0));  // 0 % of the first picture
    frames(100);                                                // 1515 ms: shown alone
    EXPECT_TRUE(nearColour(m_back.canvas().pixel(50, 50), 0xFFFFFF));
    frames(70);  // 555 ms into the fade to black: 45 % of the white is left
    const int grey = static_cast<int>(m_back.canvas().pixel(50, 50) & 0xFF);
    EXPECT_NEAR(grey, 45 * 255 / 100, 4);
}

}  // namespace
}  // namespace orba
