#include "effects/background.h"

#include <gtest/gtest.h>

#include "platform/random.h"
#include "resources/artwork.h"
#include "tests/support/pictures.h"

namespace orba {
namespace {

using test::filled;

// One scene setting drawn frame after frame into one back buffer.
struct SceneRun {
    explicit SceneRun(int type, int w, int h) : back(w, h) { settings.backgroundType = type; }
    void frames(int n, int dt = 15) {
        for (int i = 0; i < n; ++i) {
            scenes.draw(back, frameValuesFor(back.width(), back.height(), dt, m_first), settings,
                        false, banner);
            m_first = false;
        }
    }
    Settings settings;
    BackgroundScenes scenes;
    Bitmap back;
    const Bitmap banner = titleBanner();

private:
    bool m_first = true;
};

Settings scrollingPictures() {
    Settings s;
    s.useImages = true;
    s.imageStyle = 2;
    s.imageOpacity = 100;
    s.darkTransparency = 0;
    return s;
}

TEST(Background, OpaqueScrollingPicturesSkipEverythingButOnlyWhenTheyExist) {
    struct Case {
        const char* name;
        void (*change)(Settings&);
        bool havePictures;
        bool skipped;
    };
    const Case cases[] = {
        {"opaque scroll", [](Settings&) {}, true, true},
        {"no pictures in the list", [](Settings&) {}, false, false},
        {"pictures off", [](Settings& s) { s.useImages = false; }, true, false},
        {"another style", [](Settings& s) { s.imageStyle = 5; }, true, false},
        {"opacity 90", [](Settings& s) { s.imageOpacity = 90; }, true, false},
        {"dark transparency", [](Settings& s) { s.darkTransparency = 1; }, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Settings s = scrollingPictures();
        c.change(s);
        BackgroundScenes scenes;
        Bitmap back = filled(300, 100, 0x123456);
        scenes.draw(back, frameValuesFor(300, 100, 15, true), s, c.havePictures, titleBanner());
        EXPECT_EQ(back.canvas().pixel(0, 99), c.skipped ? 0x123456u : 0u);
        EXPECT_EQ(back.canvas().brush().style(), BrushStyle::Clear);
    }
}

TEST(Background, SceneNoneClearsAndDrawsTheBannerAtTheTop) {
    SceneRun run(kSceneNone, 240, 80);
    run.back = filled(240, 80, 0x123456);
    run.frames(1);
    for (int y = 0; y < 46; ++y)
        for (int x = 0; x < 240; ++x)
            ASSERT_EQ(run.back.canvas().pixel(x, y + 10), run.banner.canvas().pixel(x, y))
                << x << "," << y;
    EXPECT_EQ(run.back.canvas().pixel(5, 5), 0u);
    EXPECT_EQ(run.back.canvas().pixel(5, 70), 0u);
}

TEST(Background, TheBannerVanishesWhereItsEdgesMeet) {
    SceneRun run(kSceneNone, 240, 60);
    // dt 30 turns the banner by one pixel a frame: offset 120 on frame 121.
    run.frames(121, 30);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 240; ++x) ASSERT_EQ(run.back.canvas().pixel(x, y), 0u) << x << "," << y;
    EXPECT_FLOAT_EQ(run.scenes.bannerOffset(), 121);
}

TEST(Background, RandomModeChangesSceneJustAfterFiveSecondsAndNeverRepeats) {
    SceneRun run(kSceneRandom, 48, 32);
    std::vector<int> changes;
    int last = run.scenes.activeScene();
    for (int frame = 1; frame <= 1100; ++frame) {
        run.frames(1);
        const int scene = run.scenes.activeScene();
        if (scene != last) changes.push_back(frame);
        EXPECT_TRUE(scene >= kSceneSpace && scene <= kSceneRipple) << scene;
        last = scene;
    }
    // 334 frames of 15 ms reach 5010 ms, the first count above 5000.
    EXPECT_EQ(changes, (std::vector<int>{1, 335, 669, 1003}));
}

TEST(Background, ALaserFrameOf27BeamsTurnsBy27Steps) {
    SceneRun run(kSceneLaser, 200, 100);
    run.frames(1);
    EXPECT_NEAR(run.scenes.sweepAngle(), 0.405, 1e-5);
}

TEST(Background, RipplesStayWhereTheyWerePlacedWhenTheWindowShrinks) {
    SceneRun run(kSceneRipple, 800, 600);
    run.frames(1);
    const auto placed = run.scenes.ripples();
    run.back.setSize(50, 40);
    run.frames(1);
    for (std::size_t i = 0; i < placed.size(); ++i) {
        EXPECT_EQ(run.scenes.ripples()[i].x, placed[i].x);
        EXPECT_EQ(run.scenes.ripples()[i].y, placed[i].y);
    }
}

// Ripples divide by a tenth of the width; stars and beams scale with it.
TEST(Background, TinyClientsDrawEveryScene) {
    for (int type = kSceneNone; type <= kSceneRipple; ++type)
        for (int size : {1, 5, 9}) {
            SceneRun run(type, size, size);
            run.frames(400);
            for (const Ripple& r : run.scenes.ripples()) EXPECT_TRUE(std::isfinite(r.radius));
        }
}

}  // namespace
}  // namespace orba
