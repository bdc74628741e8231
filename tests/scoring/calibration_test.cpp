#include "scoring/calibration.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

constexpr int kRate = 1000;  // a sample a millisecond keeps the arithmetic plain

std::vector<float> clicksAt(std::vector<int> ms, int length) {
    std::vector<float> s(static_cast<std::size_t>(length), 0.0f);
    for (int at : ms)
        for (int k = 0; k < 5; ++k) s[static_cast<std::size_t>(at + k)] = k % 2 ? -0.5f : 0.5f;
    return s;
}

TEST(ClickOnsets, EachClickAfterQuietIsOneOnset) {
    EXPECT_EQ(clickOnsets(clicksAt({100, 900, 1700}, 2000), kRate),
              (std::vector<int>{100, 900, 1700}));
    // A click's echo 50 ms later is part of it.
    EXPECT_EQ(clickOnsets(clicksAt({100, 150, 900}, 2000), kRate), (std::vector<int>{100, 900}));
    EXPECT_TRUE(clickOnsets(std::vector<float>(2000, 0.05f), kRate).empty());
}

TEST(MeasuredDelay, IsTheMedianOfTheClicksHeard) {
    EXPECT_EQ(measuredDelay({0, 750, 1500, 2250}, {120, 870, 1620, 2390}), 120);
    // One late stray and one click lost: the median still holds.
    EXPECT_EQ(measuredDelay({0, 750, 1500, 2250}, {118, 870, 2000}), 120);
}

TEST(MeasuredDelay, NoneWhenTooFewAreHeardOrTooLate) {
    EXPECT_EQ(measuredDelay({0, 750, 1500, 2250}, {120}), std::nullopt);
    EXPECT_EQ(measuredDelay({0, 750}, {700, 1450}), std::nullopt);
    EXPECT_EQ(measuredDelay({0, 750}, {}), std::nullopt);
}

}  // namespace
}  // namespace orba
