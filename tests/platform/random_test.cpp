#include "platform/random.h"

#include <gtest/gtest.h>

namespace orba {
namespace {

TEST(Random, TheUnseededSequenceIsTheSameOnEveryRun) {
    resetRand();
    EXPECT_EQ(rand(), 16838);
    EXPECT_EQ(rand(), 5758);
    EXPECT_EQ(rand(), 10113);
    resetRand();
    EXPECT_EQ(rand(), 16838);
}

TEST(Random, NumbersSpreadOverZeroTo32767) {
    resetRand();
    int low = kRandMax, high = 0;
    long long sum = 0;
    constexpr int n = 100000;
    for (int i = 0; i < n; ++i) {
        const int r = rand();
        ASSERT_GE(r, 0);
        ASSERT_LE(r, kRandMax);
        low = std::min(low, r);
        high = std::max(high, r);
        sum += r;
    }
    EXPECT_LT(low, 10);
    EXPECT_GT(high, kRandMax - 10);
    EXPECT_NEAR(static_cast<double>(sum) / n, kRandMax / 2.0, 300);
}

}  // namespace
}  // namespace orba
