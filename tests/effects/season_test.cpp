#include "effects/season.h"

#include <gtest/gtest.h>

#include <cmath>

#include "effects/sprites.h"

namespace orba {
namespace {

// A 4 x 2 mascot: blue at the top left (the transparent colour), red elsewhere.
Bitmap smallMascot() {
    Bitmap m(4, 2);
    m.canvas().brush().setColor(0x0000FF);
    m.canvas().fillRect({0, 0, 4, 2});
    m.canvas().setPixel(0, 0, 0xFF0000);
    return m;
}

void expectAtTopCorners(const MascotSprites& sprites, int cw, int w, int dt) {
    for (int i = 0; i < 8; ++i) {
        // Each sprite has moved once since it was placed.
        const float step = static_cast<float>(dt) * (i + 1) * cw / 20480;
        const Sprite& left = sprites.sprites()[static_cast<std::size_t>(2 * i)];
        const Sprite& right = sprites.sprites()[static_cast<std::size_t>(2 * i + 1)];
        EXPECT_FLOAT_EQ(left.x, step) << i;
        EXPECT_FLOAT_EQ(left.y, step) << i;
        EXPECT_FLOAT_EQ(right.x, static_cast<float>(cw - w) - step) << i;
        EXPECT_FLOAT_EQ(right.y, step) << i;
    }
}

TEST(Sprites, SwitchingOnAgainOrResizingRestartsThemFromTheTopCorners) {
    MascotSprites sprites;
    const Bitmap mascot = smallMascot();
    Bitmap back(800, 600);
    auto frame = [&](bool on, bool sizeChanged) {
        sprites.draw(back, frameValuesFor(800, 600, 15, sizeChanged), on, mascot);
    };
    for (int i = 0; i < 100; ++i) frame(true, false);
    frame(false, false);  // P
    frame(true, false);   // P again
    expectAtTopCorners(sprites, 800, 4, 15);
    for (int i = 0; i < 100; ++i) frame(true, false);
    frame(true, true);
    expectAtTopCorners(sprites, 800, 4, 15);
}

TEST(Sprites, TheTopLeftColourIsLeftOut) {
    MascotSprites sprites;
    Bitmap back(40, 30);
    back.canvas().brush().setColor(0x00FF00);
    back.canvas().fillRect({0, 0, 40, 30});
    sprites.draw(back, frameValuesFor(40, 30, 15, true), true, smallMascot());
    EXPECT_EQ(back.canvas().pixel(0, 0), 0x00FF00u);
    EXPECT_EQ(back.canvas().pixel(1, 0), 0x0000FFu);
    EXPECT_EQ(back.canvas().pixel(0, 1), 0x0000FFu);
    EXPECT_EQ(back.canvas().pixel(36, 0), 0x00FF00u);  // the right sprite at cw - w
    EXPECT_EQ(back.canvas().pixel(37, 0), 0x0000FFu);
}

// A mascot larger than the client has no room to bounce in; it must not be
// thrown further out on every frame.
TEST(Sprites, AMascotLargerThanTheClientStaysInPlace) {
    MascotSprites sprites;
    Bitmap mascot(120, 48);
    Bitmap back(50, 20);
    for (int i = 0; i < 2000; ++i)
        sprites.draw(back, frameValuesFor(50, 20, i % 7 == 0 ? 900 : 15, i == 0), true, mascot);
    for (const Sprite& s : sprites.sprites()) {
        EXPECT_EQ(s.x, 0);
        EXPECT_EQ(s.y, 0);
    }
    // And a long frame in a roomy client ends inside it.
    MascotSprites roomy;
    Bitmap big(300, 200);
    roomy.draw(big, frameValuesFor(300, 200, 15, true), true, mascot);
    roomy.draw(big, frameValuesFor(300, 200, 60000, false), true, mascot);
    for (const Sprite& s : roomy.sprites()) {
        EXPECT_TRUE(s.x >= 0 && s.x <= 180) << s.x;
        EXPECT_TRUE(s.y >= 0 && s.y <= 152) << s.y;
    }
}

TEST(Season, GreetingsAndSnowByDate) {
    struct Case {
        int mode;
        const char* greeting;
        bool snow;
    };
    for (const Case& c :
         {Case{kSeasonNone, "", false}, Case{kSeasonNewYear, "Happy New Year!!", false},
          Case{kSeasonChristmas, "Merry Christmas!!", true}}) {
        SeasonEffects season;
        Bitmap back(64, 48);
        season.draw(back, frameValuesFor(64, 48, 15, true), c.mode);
        EXPECT_EQ(season.greeting(), c.greeting);
        // Placed flakes start above the window.
        EXPECT_EQ(season.snowflakes()[0].y < 0, c.snow) << c.mode;
    }
}

TEST(Season, TheGreetingFadesOverItsLast2048MsAndShowsOnce) {
    struct Level {
        int timer;
        int level;
    };
    for (const Level& l : {Level{10000, 255}, Level{2048, 255}, Level{2047, 255}, Level{2039, 254},
                           Level{1000, 125}, Level{8, 1}, Level{7, 0}})
        EXPECT_EQ(greetingLevel(l.timer), l.level) << l.timer;

    SeasonEffects season;
    Bitmap back(480, 200);
    int shown = 0;
    for (int frame = 0; frame < 800; ++frame) {
        season.draw(back, frameValuesFor(480, 200, 15, frame == 0), kSeasonNewYear);
        if (!season.greeting().empty()) ++shown;
    }
    EXPECT_EQ(shown, 666);  // 10000 ms of 15 ms frames, the last one ending it
    EXPECT_LE(season.greetingTimer(), 0);
}

TEST(Season, TheGreetingIsWhiteInsideAMagentaOutline) {
    SeasonEffects season;
    Bitmap back(480, 200);
    season.draw(back, frameValuesFor(480, 200, 15, true), kSeasonChristmas);
    int white = 0, magenta = 0;
    for (int y = 0; y < 200; ++y)
        for (int x = 0; x < 480; ++x) {
            const Colour c = back.canvas().pixel(x, y);
            white += c == 0xFFFFFF;
            magenta += c == 0xFF00FF;
        }
    EXPECT_GT(white, 100);
    EXPECT_GT(magenta, 100);
}

TEST(Season, SnowKeepsFallingThroughTheWindowForever) {
    SeasonEffects season;
    Bitmap back(200, 150);
    // Long frames bring the staggered flakes down quickly.
    for (int frame = 0; frame < 3000; ++frame)
        season.draw(back, frameValuesFor(200, 150, 200, frame == 0), kSeasonChristmas);
    int visible = 0;
    for (const Snowflake& s : season.snowflakes()) {
        EXPECT_TRUE(s.x >= -10 - 50 && s.x <= 1034 + 50) << s.x;
        EXPECT_LE(s.y, 778 + 100);
        visible += s.y >= 0 && s.y < 768;
    }
    EXPECT_GT(visible, 60);
}

}  // namespace
}  // namespace orba
