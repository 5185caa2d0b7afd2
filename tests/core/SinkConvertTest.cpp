#include <gtest/gtest.h>

#include <cmath>

#include "core/LSinkConvertChannels.h"
#include "core/LSinkConvertRate.h"
#include "support/TestSupport.h"

using test::VectorSink;

TEST(SinkConvert, ChannelAdaptersAndTheirRules)
{
    auto* mono = new VectorSink(44100, 1);
    LSoundSink monoHandle(mono);
    EXPECT_EQ(LSinkConvertChannels::OpenSink(1, monoHandle).Get(), mono);
    EXPECT_FALSE(LSinkConvertChannels::OpenSink(3, monoHandle));
    {
        LSoundSink down = LSinkConvertChannels::OpenSink(2, monoHandle);
        int32_t frames[] = {10, 20, -5, -8, 7, 8};
        down->Write(frames, 3);
        EXPECT_EQ(down->GetPosition(), 3u);
    }
    EXPECT_EQ(mono->values, (std::vector<int32_t>{15, -7, 7})) << "(left + right) >> 1";

    auto* stereo = new VectorSink(44100, 2);
    LSoundSink stereoHandle(stereo);
    LSoundSink up = LSinkConvertChannels::OpenSink(1, stereoHandle);
    int32_t m[] = {3, -4};
    up->Write(m, 2);
    EXPECT_EQ(stereo->values, (std::vector<int32_t>{3, 3, -4, -4}));
    up->Seek(1);
    EXPECT_EQ(up->GetPosition(), 1u);
}

TEST(SinkConvert, RateConverterProducesTheRightLengthAndSignal)
{
    auto* out = new VectorSink(44100, 2);
    LSoundSink next(out);
    EXPECT_EQ(LSinkConvertRateBase::OpenSink(44100, next).Get(), out);
    {
        LSoundSink conv = LSinkConvertRateBase::OpenSink(48000, next);
        std::vector<int32_t> in = test::Sine(48000, 48000, 1000, 0x40000, 2);
        // Odd write sizes must not change the result.
        size_t done = 0;
        int32_t sizes[] = {1, 8192, 777, 5000};
        for (int i = 0; done < in.size() / 2; ++i) {
            int32_t n = std::min<int32_t>(sizes[i % 4], int32_t(in.size() / 2 - done));
            conv->Write(in.data() + done * 2, n);
            done += size_t(n);
        }
        EXPECT_EQ(conv->GetPosition(), 48000u);
    }
    // Released: the tail is flushed, so every input frame has its output, and the step
    // is exact: one second in, one second out, the tone at its own pitch.
    EXPECT_EQ(out->values.size() / 2, size_t(44100));
    double err = 0, sig = 0;
    for (size_t i = 200; i < out->values.size() / 2 - 200; ++i) {
        double want = 0x40000 * std::sin(2 * M_PI * 1000 * double(i) / 44100);
        double got = out->values[2 * i];
        err += (got - want) * (got - want);
        sig += want * want;
        ASSERT_EQ(out->values[2 * i], out->values[2 * i + 1]);
    }
    EXPECT_GT(10 * std::log10(sig / err), 40.0);
}

TEST(SinkConvert, LargeDownwardStepDoesNotOverrunItsBuffer)
{
    auto* out = new VectorSink(6000, 1);
    LSoundSink next(out);
    {
        LSoundSink conv = LSinkConvertRateBase::OpenSink(196000, next);
        std::vector<int32_t> in(196000, 1000);
        for (size_t i = 0; i < in.size(); i += 3000)
            conv->Write(in.data() + i, int32_t(std::min<size_t>(3000, in.size() - i)));
    }
    EXPECT_NEAR(double(out->values.size()), 6000.0, 1.0);
    for (size_t i = 20; i + 20 < out->values.size(); ++i)
        ASSERT_NEAR(out->values[i], 1000, 30) << i;
}
