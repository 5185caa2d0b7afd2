#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "core/LSRCPeakLimit.h"
#include "core/LSourceProcessor.h"
#include "support/TestSupport.h"

using test::ReadAll;
using test::VectorSource;

TEST(PeakLimit, NeverExceedsTheLimitOnLoudRandomMaterial)
{
    std::mt19937 rng(3);
    for (uint8_t channels : {1, 2}) {
        std::vector<int32_t> v(size_t(44100 * 5) * channels);
        std::uniform_int_distribution<int32_t> quiet(-0x40000, 0x40000), loud(-0x1FFFFF, 0x1FFFFF);
        for (size_t i = 0; i < v.size(); ++i)
            v[i] = (i / 20000) % 3 == 1 ? loud(rng) : quiet(rng);
        LSoundSource limited = LSPPeakLimit(0x7FFF0).OpenSource(MakeSource<VectorSource>(v, 44100, channels, 0x200000));
        ASSERT_NE(dynamic_cast<LSRCPeakLimit*>(limited.Get()), nullptr);
        EXPECT_EQ(limited->GetMaxAmplitude(), 0x7FFF0u);
        std::vector<int32_t> out = ReadAll(limited, 1000);
        ASSERT_EQ(out.size(), v.size());
        for (int32_t x : out) {
            ASSERT_LE(x, 0x7FFF0);
            ASSERT_GE(x, -0x80000) << "-32768 at the most";
        }
    }
}

TEST(PeakLimit, GainDropsBeforeASuddenLoudBlock)
{
    const int32_t w = 44100 / 35;
    std::vector<int32_t> v(size_t(w) * 20, 0x10000);
    for (size_t i = size_t(w) * 10; i < size_t(w) * 11; ++i)
        v[i] = (i & 1) ? 0x1F0000 : -0x1F0000;
    std::vector<int32_t> out = ReadAll(LSPPeakLimit(0x7FFF0).OpenSource(MakeSource<VectorSource>(v, 44100, 1, 0x200000)));
    ASSERT_EQ(out.size(), v.size());
    // The block before the loud one already ramps down; nothing exceeds the limit.
    EXPECT_EQ(out[size_t(w) * 7], 0x10000) << "two blocks ahead nothing changes yet";
    EXPECT_LT(out[size_t(w) * 10 - 1], 0x10000 / 2);
    for (int32_t x : out) {
        ASSERT_LE(x, 0x7FFF0);
        ASSERT_GE(x, -0x80000);
    }
}

TEST(PeakLimit, WhatSixteenBitPcmHoldsIsNoOverload)
{
    // Clipped 16-bit material: +32767 and -32768 (an 8-bit 0 is the same value).
    const int32_t w = 44100 / 35;
    std::vector<int32_t> v(size_t(w) * 12);
    for (size_t i = 0; i < v.size(); ++i)
        v[i] = i % 7 == 0 ? -0x80000 : i % 7 == 3 ? 0x7FFF0 : int32_t(i % 5000) * 16 - 40000;
    EXPECT_EQ(ReadAll(MakeSource<LSRCPeakLimit>(MakeSource<VectorSource>(v, 44100, 1, 0x200000), 0x7FFF0), 500), v);

    // One step further (-32769) is an overload again: that block is turned down.
    std::vector<int32_t> over = v;
    over[size_t(w) * 6] = -0x80010;
    std::vector<int32_t> out =
        ReadAll(MakeSource<LSRCPeakLimit>(MakeSource<VectorSource>(over, 44100, 1, 0x200000), 0x7FFF0), 500);
    EXPECT_GE(*std::min_element(out.begin(), out.end()), -0x80000);
    EXPECT_NE(out, over);
    EXPECT_EQ(out[size_t(w) * 2], over[size_t(w) * 2]) << "far from the overload nothing changes";
}

TEST(PeakLimit, MaterialWithinTheLimitPassesUnchangedAndSeeks)
{
    std::mt19937 rng(5);
    std::uniform_int_distribution<int32_t> d(-0x7FFF0, 0x7FFF0);
    std::vector<int32_t> v(100000 * 2);
    for (int32_t& x : v)
        x = d(rng);
    LSoundSource limited = MakeSource<LSRCPeakLimit>(MakeSource<VectorSource>(v, 48000, 2, 0x200000), 0x7FFF0);
    EXPECT_EQ(ReadAll(limited, 333), v);
    limited->Seek(5000);
    EXPECT_EQ(limited->GetPosition(), 5000);
    std::vector<int32_t> part(200);
    limited->Read(part.data(), 100);
    EXPECT_TRUE(std::equal(part.begin(), part.end(), v.begin() + 10000));

    // A source already within the limit gets no limiter at all.
    LSoundSource within = MakeSource<VectorSource>(v, 48000, 2, 0x7FFF0);
    EXPECT_EQ(LSPPeakLimit(0x7FFF0).OpenSource(within), within);
}
