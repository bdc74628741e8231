#include "effects/framepictures.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

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

// What the player would hand the picture phases.
struct PictureInputs {
    std::vector<std::string> imageFiles;
    bool orbaObject = false;
    bool debugMode = false;
    int seasonMode = 0;
    PictureView view() const {
        return {.imageFiles = imageFiles,
                .orbaObject = orbaObject,
                .debugMode = debugMode,
                .seasonMode = seasonMode};
    }
};

class FramePicturesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(writeJpeg(m_dir.file("a.jpg"), test::solidImage(64, 48, Qt::yellow)));
        m_inputs.imageFiles = loadImageList(m_dir.path());
        m_inputs.seasonMode = kSeasonChristmas;
    }
    test::TempDir m_dir;
    PictureInputs m_inputs;
    const Bitmap m_mascot = mascotPicture();
};

// Very small and very wide windows: every phase clips, divides and places
// its elements without failing.
TEST_F(FramePicturesTest, ExtremeWindowSizesDrawEveryPhase) {
    FramePictures pictures;
    m_inputs.orbaObject = true;
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
                    pictures.draw(back, frameValuesFor(w, h, 15, frame == 0), s, m_inputs.view(),
                                  m_mascot);
            }
}

TEST_F(FramePicturesTest, TheOverlayBandStaysFreeOfNoiseButNotOfTheRest) {
    FramePictures pictures;
    Settings s = everythingOn();
    s.backgroundType = kSceneNone;
    s.useImages = false;
    m_inputs.seasonMode = kSeasonNone;
    m_inputs.debugMode = true;
    Bitmap back(480, 300);  // band: rows 200..299
    for (int frame = 0; frame < 30; ++frame)
        pictures.draw(back, frameValuesFor(480, 300, 15, frame == 0), s, m_inputs.view(), m_mascot);
    for (int y = 200; y < 300; ++y)
        for (int x = 0; x < 480; ++x) ASSERT_EQ(back.canvas().pixel(x, y), 0u) << x << "," << y;
}

TEST_F(FramePicturesTest, SongLoadsRestartTheSlideshow) {
    FramePictures pictures;
    Bitmap back(100, 80);
    const Settings s = everythingOn();
    for (int frame = 0; frame < 10; ++frame)
        pictures.draw(back, frameValuesFor(100, 80, 15, frame == 0), s, m_inputs.view(), m_mascot);
    EXPECT_EQ(pictures.images().slideTimer(), 150);
    pictures.songLoaded();
    EXPECT_EQ(pictures.images().slideTimer(), 0);
    EXPECT_EQ(pictures.images().imageIndex(), 0);
}

// The clear leaves out what the picture will cover: whatever the back buffer
// held there before the frame must never show through. (Placed before the
// test below, which leaves the random sequence where later suites expect it.)
TEST_F(FramePicturesTest, WhatTheClearLeavesOutIsAlwaysCoveredByThePicture) {
    ASSERT_TRUE(writeJpeg(m_dir.file("b.jpg"), test::solidImage(90, 30, Qt::blue)));
    m_inputs.imageFiles = loadImageList(m_dir.path());
    struct Look {
        int style, opacity, dark;
    };
    for (const Look look : {Look{0, 100, 0}, Look{0, 50, 0}, Look{0, 100, 1}, Look{3, 100, 0},
                            Look{4, 100, 0}, Look{5, 100, 0}}) {
        Settings s = everythingOn();
        s.imageStyle = look.style;
        s.imageOpacity = look.opacity;
        s.darkTransparency = look.dark;
        s.slideTime = 200;
        auto frames = [&](Colour before) {
            resetRand();
            FramePictures pictures;
            Bitmap back(100, 80);
            std::vector<QImage> drawn;
            for (int frame = 0; frame < 60; ++frame) {
                back.canvas().brush().setColor(before);
                back.canvas().fillRect({0, 0, 100, 80});
                const unsigned now = 1000 + 15 * static_cast<unsigned>(frame);
                pictures.draw(back, frameValuesFor(100, 80, 15, frame == 0, now), s,
                              m_inputs.view(), m_mascot);
                drawn.push_back(back.image().copy());
            }
            return drawn;
        };
        const std::vector<QImage> fromBlack = frames(0x000000);
        const std::vector<QImage> fromMagenta = frames(0xFF00FF);
        for (std::size_t i = 0; i < fromBlack.size(); ++i)
            ASSERT_EQ(fromBlack[i], fromMagenta[i]) << "style " << look.style << " frame " << i;
    }
}

// The clear fills only where the frames before drew; the rest is black
// already. Every frame must then be what clearing the whole buffer gives:
// each scene under each kind of picture drawing (copies, stretched copies,
// blends, lines, discs, text, mascots, noise, snow), while pictures come and
// go and the window is resized; and a picture kept in place from frame to
// frame must show whole again wherever something was drawn over it. (Before the test below, for the
// same reason.)
TEST_F(FramePicturesTest, ClearingOnlyWhereFramesDrewGivesTheFramesOfAWholeClear) {
    ASSERT_TRUE(writeJpeg(m_dir.file("b.jpg"), test::solidImage(90, 30, Qt::blue)));
    m_inputs.imageFiles = loadImageList(m_dir.path());
    m_inputs.orbaObject = true;
    struct Look {
        int style, opacity, dark;
    };
    for (int scene = kSceneSpace; scene <= kSceneRipple; ++scene)
        for (const Look look : {Look{0, 100, 0}, Look{5, 50, 1}, Look{1, 100, 0}, Look{2, 70, 0}}) {
            Settings s = everythingOn();
            s.backgroundType = scene;
            s.imageStyle = look.style;
            s.imageOpacity = look.opacity;
            s.darkTransparency = look.dark;
            s.slideTime = 300;
            s.noiseType = scene % 4;
            auto frames = [&](bool wholeClear) {
                resetRand();
                FramePictures pictures;
                Bitmap back(160, 120);
                std::vector<QImage> drawn;
                for (int frame = 0; frame < 90; ++frame) {
                    const int w = frame < 60 ? 160 : 200, h = frame < 60 ? 120 : 90;
                    if (back.width() != w) back.setSize(w, h);
                    // Taking the image to write makes the bitmap forget where it drew.
                    if (wholeClear) back.image();
                    const unsigned now = 1000 + 15 * static_cast<unsigned>(frame);
                    pictures.draw(back, frameValuesFor(w, h, 15, frame == 0 || frame == 60, now), s,
                                  m_inputs.view(), m_mascot);
                    Canvas& c = back.canvas();
                    c.font().color = 0x40C0FF;
                    c.font().size = 12;
                    c.textOut(frame * 3 % w - 20, h - 30 - frame % 7, "karaoke");
                    if (frame % 3 == 0) c.textOut(w / 2 - frame % 20, h / 2 - 8, "kept?");
                    drawn.push_back(std::as_const(back).image().copy());
                }
                return drawn;
            };
            const std::vector<QImage> whole = frames(true);
            const std::vector<QImage> noted = frames(false);
            for (std::size_t i = 0; i < whole.size(); ++i)
                ASSERT_EQ(whole[i], noted[i])
                    << "scene " << scene << " style " << look.style << " frame " << i;
        }
}

// Frames depend on nothing but their inputs and the random sequence.
TEST_F(FramePicturesTest, TheSameFramesTwiceGiveTheSamePixels) {
    auto render = [&] {
        resetRand();
        FramePictures pictures;
        m_inputs.orbaObject = true;
        Bitmap back(320, 240);
        Settings s = everythingOn();
        s.backgroundType = kSceneRandom;
        for (int frame = 0; frame < 40; ++frame) {
            const unsigned now = 1000 + 15 * static_cast<unsigned>(frame);
            pictures.draw(back, frameValuesFor(320, 240, 15, frame == 0, now), s, m_inputs.view(),
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
