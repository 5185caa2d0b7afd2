// The vectorised filter-bank kernels against the plain C++ ones: on random input,
// over many calls so that the state carried between calls counts, every output
// must be the same bits.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "formats/mp3/MP3Imdct.h"
#include "formats/mp3/MP3Synthesis.h"

namespace {

const MP3KernelSet kVectorSets[] = {MP3KernelSet::Sse2, MP3KernelSet::Avx};

// Random sign and a magnitude spread over 2^-12 .. 2^12, zero one time in eight.
float RandomValue(std::mt19937& rng)
{
    if (rng() % 8 == 0)
        return 0.0f;
    const float mantissa = std::uniform_real_distribution<float>(-1.0f, 1.0f)(rng);
    return std::ldexp(mantissa, int32_t(rng() % 25) - 12);
}

TEST(Mp3Kernels, ImdctMatchesPlain)
{
    int32_t tested = 0;
    for (MP3KernelSet set : kVectorSets) {
        if (!MP3KernelSetAvailable(set))
            continue;
        ++tested;
        const MP3Imdct plain(MP3KernelSet::Plain), vector(set);
        std::mt19937 rng(11);
        std::vector<float> lines(576), overlapP(576, 0.0f), overlapV(576, 0.0f);
        std::vector<float> outP(32 * MP3Imdct::kRowStride, 0.0f), outV = outP;
        for (int32_t gr = 0; gr < 200; ++gr) {
            // Every block type, mixed blocks with the long/short boundary inside and
            // at the edge of a group, and silent subbands from anywhere on.
            const int32_t blockType = int32_t(rng() % 4);
            const bool mixed = blockType == 2 && rng() % 2;
            const int32_t longSubbands = rng() % 2 ? 2 : 4;
            const int32_t active = int32_t(rng() % 33);
            for (int32_t i = 0; i < 576; ++i)
                lines[size_t(i)] = i < active * 18 ? RandomValue(rng) : 0.0f;
            const int32_t firstSlot = (gr & 1) * 18;
            plain.Run(lines.data(), blockType, mixed, longSubbands, active, overlapP.data(), outP.data(), firstSlot);
            vector.Run(lines.data(), blockType, mixed, longSubbands, active, overlapV.data(), outV.data(), firstSlot);
            for (int32_t sb = 0; sb < 32; ++sb) {
                const size_t at = size_t(sb * MP3Imdct::kRowStride + firstSlot);
                ASSERT_EQ(std::memcmp(&outP[at], &outV[at], 18 * sizeof(float)), 0)
                    << "set " << int32_t(set) << ", granule " << gr << ", block type " << blockType << ", subband "
                    << sb;
            }
            ASSERT_EQ(std::memcmp(overlapP.data(), overlapV.data(), overlapP.size() * sizeof(float)), 0)
                << "set " << int32_t(set) << ", granule " << gr;
        }
    }
    if (tested == 0)
        GTEST_SKIP() << "no vector kernels on this processor";
}

TEST(Mp3Kernels, SynthesisMatchesPlain)
{
    int32_t tested = 0;
    for (MP3KernelSet set : kVectorSets) {
        if (!MP3KernelSetAvailable(set))
            continue;
        ++tested;
        for (int32_t channels : {1, 2}) {
            for (int32_t slots : {36, 18}) {
                MP3Synthesis plain(MP3KernelSet::Plain), vector(set);
                std::mt19937 rng(uint32_t(channels * 100 + slots));
                std::vector<float> time(2 * 32 * MP3Imdct::kRowStride);
                const float* rows[2] = {time.data(), time.data() + 32 * MP3Imdct::kRowStride};
                std::vector<int32_t> outP(size_t(slots) * 32 * channels), outV(outP.size());
                for (int32_t call = 0; call < 20; ++call) {
                    // Mostly within the output range; a few values far beyond it and
                    // a NaN, which every kernel must limit alike.
                    for (float& v : time)
                        v = rng() % 64 == 0 ? std::ldexp(RandomValue(rng), 20) : RandomValue(rng) / 4096.0f;
                    time[rng() % time.size()] = std::nanf("");
                    plain.Run(rows, channels, slots, MP3Imdct::kRowStride, outP.data());
                    vector.Run(rows, channels, slots, MP3Imdct::kRowStride, outV.data());
                    ASSERT_EQ(outP, outV) << "set " << int32_t(set) << ", " << channels << " channels, " << slots
                                          << " slots, call " << call;
                }
            }
        }
    }
    if (tested == 0)
        GTEST_SKIP() << "no vector kernels on this processor";
}

} // namespace
