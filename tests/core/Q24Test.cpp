#include <gtest/gtest.h>

#include <random>

#include "core/Q24.h"

TEST(Q24, MatchesExactProductWithinTruncation)
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int32_t> value(-0x200000, 0x200000);
    std::uniform_int_distribution<int32_t> gain(0, 8 * kQ24Unity);
    for (int i = 0; i < 100000; ++i) {
        int32_t x = value(rng), g = gain(rng);
        int64_t exact = (int64_t(x) * g) >> 24;
        int64_t got = Q24Mul(x, g);
        ASSERT_LE(std::llabs(got - exact), 3) << x << " * " << g;
    }
    EXPECT_EQ(Q24Mul(0x7FFF0, kQ24Unity), 0x7FFF0);
    EXPECT_EQ(Q24Mul(-0x7FFF0, kQ24Unity), -0x7FFF0);
    EXPECT_EQ(Q24Mul(123456, 0), 0);
}

TEST(Q24, WrapsLike32BitHardwareWhenTheProductIsTooLarge)
{
    // 2^30 * 4 does not fit 32 bits; the result wraps instead of being undefined.
    EXPECT_EQ(Q24Mul(1 << 30, 4 * kQ24Unity), 0);
}
