#include "effects/noise.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/random.h"

namespace orba {
namespace {

// How many numbers of the random sequence one call took: every scratch,
// stroke and block draws a fixed number of them, so this counts elements.
template <typename Draw>
int randomDraws(Draw draw) {
    resetRand();
    draw();
    // Four numbers in a row find the position; one could repeat earlier.
    const std::vector<int> next = {rand(), rand(), rand(), rand()};
    resetRand();
    std::vector<int> sequence;
    for (int n = 0; n < 5000; ++n) sequence.push_back(rand());
    for (std::size_t n = 0; n + 4 <= sequence.size(); ++n)
        if (std::equal(next.begin(), next.end(), sequence.begin() + static_cast<long>(n)))
            return static_cast<int>(n);
    return -1;
}

struct CountCase {
    int type;
    int colour;
    int cw;
    int draws;
};

TEST(Noise, ElementCountsFollowTheWidth) {
    const CountCase cases[] = {
        // cinema: cw/400 scratches (1 draw), cw/30 strokes (4 draws), plus
        // two draws for a colour of the frame
        {kNoiseCinema, kNoiseWhite, 29, 0},
        {kNoiseCinema, kNoiseWhite, 30, 4},
        {kNoiseCinema, kNoiseWhite, 399, 13 * 4},
        {kNoiseCinema, kNoiseWhite, 400, 1 + 13 * 4},
        {kNoiseCinema, kNoiseColour, 800, 2 + 2 + 26 * 4},
        // digital: cw/5 blocks of 4 draws, two more per block in colour
        {kNoiseDigital, kNoiseBlack, 4, 0},
        {kNoiseDigital, kNoiseBlack, 5, 4},
        {kNoiseDigital, kNoiseBlack, 800, 160 * 4},
        {kNoiseDigital, kNoiseColour, 800, 160 * 6},
        {kNoiseNone, kNoiseColour, 800, 0},
        {kNoiseInterlace, kNoiseColour, 800, 0},
    };
    for (const CountCase& c : cases) {
        Bitmap back(c.cw, 300);
        NoiseFilter noise;
        EXPECT_EQ(randomDraws([&] {
                      noise.draw(back, frameValuesFor(c.cw, 300, 15, false), c.type, c.colour,
                                 false);
                  }),
                  c.draws)
            << "type " << c.type << " colour " << c.colour << " width " << c.cw;
    }
}

// Rows that hold a pixel other than black.
std::vector<int> litRows(const Bitmap& b) {
    std::vector<int> rows;
    for (int y = 0; y < b.height(); ++y)
        for (int x = 0; x < b.width(); ++x)
            if (b.canvas().pixel(x, y) != 0) {
                rows.push_back(y);
                break;
            }
    return rows;
}

TEST(Noise, InterlaceLinesShowOnEveryOtherFrameInDarkBlueForBlackAndWhite) {
    for (int colour : {kNoiseBlack, kNoiseWhite}) {
        NoiseFilter noise;
        for (int frame = 1; frame <= 4; ++frame) {
            Bitmap back(20, 12);
            noise.draw(back, frameValuesFor(20, 12, 15, false), kNoiseInterlace, colour, false);
            if (frame % 2 == 1) {
                EXPECT_TRUE(litRows(back).empty()) << "frame " << frame;
                continue;
            }
            EXPECT_EQ(litRows(back), (std::vector<int>{0, 5, 10})) << "frame " << frame;
            EXPECT_EQ(back.canvas().pixel(19, 5), 0x200000u);
        }
    }
}

TEST(Noise, InterlaceMovesDownOnceMoreThan50MsOfDrawnFramesHavePassed) {
    NoiseFilter noise;
    Bitmap back(20, 12);
    // Only the frames that draw count: the fourth drawing frame passes 50 ms.
    for (int frame = 1; frame <= 7; ++frame)
        noise.draw(back, frameValuesFor(20, 12, 15, false), kNoiseInterlace, kNoiseColour, false);
    EXPECT_EQ(noise.interlaceOffset(), 0);
    noise.draw(back, frameValuesFor(20, 12, 15, false), kNoiseInterlace, kNoiseColour, false);
    EXPECT_EQ(noise.interlaceOffset(), 1);
    EXPECT_EQ(noise.interlaceHue(), 1);
}

TEST(Noise, NothingIsDrawnIntoTheOverlayBand) {
    // unitX = 10: the band is the bottom 100 rows.
    const FrameValues f = frameValuesFor(480, 300, 15, false);
    for (int type : {kNoiseCinema, kNoiseDigital, kNoiseInterlace}) {
        NoiseFilter noise;
        Bitmap back(480, 300);
        for (int frame = 0; frame < 60; ++frame) noise.draw(back, f, type, kNoiseWhite, true);
        const std::vector<int> rows = litRows(back);
        ASSERT_FALSE(rows.empty()) << "type " << type;
        EXPECT_LT(rows.back(), 200) << "type " << type;
    }
}

// A band as high as the client or higher leaves no room: nothing at all.
TEST(Noise, NoRoomAboveTheBandDrawsNothing) {
    for (int ch : {100, 60, 1}) {
        const FrameValues f = frameValuesFor(480, ch, 15, false);
        EXPECT_EQ(noiseHeight(f, true), 0);
        for (int type : {kNoiseCinema, kNoiseDigital, kNoiseInterlace}) {
            NoiseFilter noise;
            Bitmap back(480, ch);
            for (int frame = 0; frame < 4; ++frame) noise.draw(back, f, type, kNoiseWhite, true);
            EXPECT_TRUE(litRows(back).empty()) << "type " << type << " height " << ch;
        }
    }
}

TEST(Noise, RandomColourIsNeverWhite) {
    resetRand();
    for (int i = 0; i < 20000; ++i) ASSERT_LT(randomNoiseColour(), 0xFFFFFFu);
}

}  // namespace
}  // namespace orba
