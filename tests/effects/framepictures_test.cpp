#include "effects/framepictures.h"

#include <gtest/gtest.h>

#include "demo/pictures/jpegwriter.h"
#include "effects/imagelist.h"
#include "platform/random.h"
#include "resources/artwork.h"
#include "tests/support/pictures.h"
#include "tests/support/tempdir.h"

namespace orba {
namespace {

Settings everythingOn() {
    Settings s = test::heaviestPictureSettings();
    s.noiseColor = kNoiseWhite;
    return s;
}

class FramePicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeJpeg(m_dir.file("a.jpg"), test::solidImage(64, 48, Qt::yellow)));
        m_state.imageFiles = loadImageList(m_dir.path());
        m_state.seasonMode = kSeasonChristmas;
    }
    test::TempDir m_dir;
    PlayerState m_state;
    const Bitmap m_mascot = mascotPicture();
};

// Very small and very wide windows: every phase clips, divides and places
// its elements without failing.
TEST_F(FramePicturesTest, ExtremeWindowSizesDrawEveryPhase) {
    FramePictures pictures;
    m_state.orbaObject = true;
    const Settings base = everythingOn();
    for (int scene = kSceneNone; scene <= kSceneRipple; ++scene)
        for (int style = 0; style < 6; ++style)
            for (auto [w, h] : {std::pair{1, 1}, std::pair{4000, 30}, std::pair{3, 900}}) {
                Settings s = base;
                s.backgroundType = scene;
                s.imageStyle = style;
                s.noiseType = (scene + style) % 4;
                Bitmap back(w, h);
                for (int frame = 0; frame < 3; ++frame)
                    pictures.draw(back, frameValuesFor(w, h, 15, frame == 0), s, m_state, m_mascot);
            }
}

TEST_F(FramePicturesTest, TheOverlayBandStaysFreeOfNoiseButNotOfTheRest) {
    FramePictures pictures;
    Settings s = everythingOn();
    s.backgroundType = kSceneNone;
    s.useImages = false;
    m_state.seasonMode = kSeasonNone;
    m_state.debugMode = true;
    Bitmap back(480, 300);  // band: rows 200..299
    for (int frame = 0; frame < 30; ++frame)
        pictures.draw(back, frameValuesFor(480, 300, 15, frame == 0), s, m_state, m_mascot);
    for (int y = 200; y < 300; ++y)
        for (int x = 0; x < 480; ++x) ASSERT_EQ(back.canvas().pixel(x, y), 0u) << x << "," << y;
}

TEST_F(FramePicturesTest, SongLoadsRestartTheSlideshow) {
    FramePictures pictures;
    Bitmap back(100, 80);
    const Settings s = everythingOn();
    for (int frame = 0; frame < 10; ++frame)
        pictures.draw(back, frameValuesFor(100, 80, 15, frame == 0), s, m_state, m_mascot);
    EXPECT_EQ(pictures.images().slideTimer(), 150);
    pictures.songLoaded();
    EXPECT_EQ(pictures.images().slideTimer(), 0);
    EXPECT_EQ(pictures.images().imageIndex(), 0);
}

// Frames depend on nothing but their inputs and the random sequence.
TEST_F(FramePicturesTest, TheSameFramesTwiceGiveTheSamePixels) {
    auto render = [&] {
        resetRand();
        FramePictures pictures;
        m_state.orbaObject = true;
        Bitmap back(320, 240);
        Settings s = everythingOn();
        s.backgroundType = kSceneRandom;
        for (int frame = 0; frame < 40; ++frame) {
            const unsigned now = 1000 + 15 * static_cast<unsigned>(frame);
            pictures.draw(back, frameValuesFor(320, 240, 15, frame == 0, now), s, m_state,
                          m_mascot);
        }
        return back.image();
    };
    EXPECT_EQ(render(), render());
}

TEST(Artwork, BannerAndMascotHaveTheirDesignSizesAndColours) {
    const Bitmap banner = titleBanner();
    EXPECT_EQ(banner.width(), 240);
    EXPECT_EQ(banner.height(), 46);
    EXPECT_EQ(banner.canvas().pixel(0, 0), 0u);
    int white = 0;
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 240; ++x) white += banner.canvas().pixel(x, y) == 0xFFFFFF;
    EXPECT_GT(white, 300);

    const Bitmap mascot = mascotPicture();
    EXPECT_EQ(mascot.width(), 120);
    EXPECT_EQ(mascot.height(), 48);
    EXPECT_EQ(mascot.canvas().pixel(0, 0), 0xFF0000u);  // pure blue, the transparent colour
    EXPECT_NE(mascot.canvas().pixel(60, 30), 0xFF0000u);
}

}  // namespace
}  // namespace orba
