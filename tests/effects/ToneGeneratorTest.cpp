#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <vector>

#include "effects/LSRCTone.h"
#include "support/TestSupport.h"

namespace {

std::vector<int32_t> Generate(const LToneParams& spec, int32_t chunk = 8192)
{
    return test::ReadAll(MakeSource<LSRCTone>(spec), chunk);
}

LToneParams Spec(LToneParams::Kind kind, double freq, double db, int32_t ms)
{
    LToneParams s;
    s.kind = kind;
    s.frequency = freq;
    s.levelDb = db;
    s.durationMs = ms;
    return s;
}

// Times (in frames, interpolated) where the signal rises through zero.
std::vector<double> RisingZeros(const std::vector<int32_t>& v)
{
    std::vector<double> t;
    for (size_t i = 1; i < v.size(); ++i)
        if (v[i - 1] < 0 && v[i] >= 0)
            t.push_back(double(i - 1) + double(-v[i - 1]) / double(v[i] - v[i - 1]));
    return t;
}

void Fft(std::vector<std::complex<double>>& a)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const std::complex<double> w = std::polar(1.0, -2 * M_PI / double(len));
        for (size_t i = 0; i < n; i += len) {
            std::complex<double> wk = 1;
            for (size_t k = 0; k < len / 2; ++k, wk *= w) {
                const std::complex<double> u = a[i + k], x = a[i + k + len / 2] * wk;
                a[i + k] = u + x;
                a[i + k + len / 2] = u - x;
            }
        }
    }
}

// Averaged power per bin of 4096-point Hann-windowed blocks (Welch).
std::vector<double> PowerSpectrum(const std::vector<int32_t>& v)
{
    constexpr size_t kN = 4096;
    std::vector<double> power(kN / 2, 0.0);
    for (size_t start = 0; start + kN <= v.size(); start += kN / 2) {
        std::vector<std::complex<double>> a(kN);
        for (size_t i = 0; i < kN; ++i)
            a[i] = double(v[start + i]) * (0.5 - 0.5 * std::cos(2 * M_PI * double(i) / kN));
        Fft(a);
        for (size_t k = 0; k < kN / 2; ++k)
            power[k] += std::norm(a[k]);
    }
    return power;
}

} // namespace

TEST(ToneGenerator, WaveformsHaveTheirPeriodPeakFadesAndSeek)
{
    // 441 Hz at 44100 Hz: a period of exactly 100 frames.
    for (auto kind : {LToneParams::Kind::Sine, LToneParams::Kind::Square, LToneParams::Kind::Triangle,
                      LToneParams::Kind::Sawtooth}) {
        const LToneParams spec = Spec(kind, 441, -6, 1000);
        const std::vector<int32_t> v = Generate(spec);
        ASSERT_EQ(v.size(), 44100u);
        const int32_t peak = spec.PeakValue();
        EXPECT_EQ(peak, 262758);  // 0x7FFF0 at -6 dBFS
        int32_t hi = 0, lo = 0;
        for (size_t i = 0; i < v.size(); ++i) {
            hi = std::max(hi, v[i]), lo = std::min(lo, v[i]);
            if (i >= 100) {
                ASSERT_EQ(v[i], v[i - 100]) << LToneParams::KindName(kind) << " frame " << i;
            }
        }
        // The sawtooth's last step before its fall is one step short of the peak.
        EXPECT_EQ(hi, kind == LToneParams::Kind::Sawtooth ? std::lround(peak * 0.98) : peak)
            << LToneParams::KindName(kind);
        EXPECT_EQ(lo, -peak) << LToneParams::KindName(kind);
        // Each rises through zero once per period.
        EXPECT_EQ(RisingZeros(v).size(), 440u) << LToneParams::KindName(kind);
    }
    // Fades start and end at zero and rise linearly; stereo carries the tone on both channels.
    LToneParams faded = Spec(LToneParams::Kind::Square, 1000, 0, 100);
    faded.fadeInMs = 10;
    faded.fadeOutMs = 20;
    faded.channels = 2;
    const std::vector<int32_t> f = Generate(faded);
    ASSERT_EQ(f.size(), 2u * 4410);
    EXPECT_EQ(f[0], 0);
    EXPECT_EQ(f.back(), 0);
    EXPECT_EQ(std::abs(f[2 * 220]), std::lround(524272.0 * 220 / 441));
    for (size_t i = 0; i < f.size(); i += 2)
        ASSERT_EQ(f[i], f[i + 1]);
    // Silence is zeros; an odd chunk size and a seek give the same samples.
    for (int32_t v : Generate(Spec(LToneParams::Kind::Silence, 0, 0, 50)))
        ASSERT_EQ(v, 0);
    for (auto kind : {LToneParams::Kind::Pink, LToneParams::Kind::White, LToneParams::Kind::Sweep}) {
        LToneParams s = Spec(kind, 100, -3, 500);
        s.channels = 2;
        const std::vector<int32_t> whole = Generate(s), odd = Generate(s, 777);
        EXPECT_EQ(whole, odd) << LToneParams::KindName(kind);
        LSoundSource src = MakeSource<LSRCTone>(s);
        std::vector<int32_t> block(2 * 1000);
        src->Seek(15000);
        src->Read(block.data(), 1000);
        src->Seek(3000);
        src->Read(block.data(), 1000);
        EXPECT_TRUE(std::equal(block.begin(), block.end(), whole.begin() + 6000)) << LToneParams::KindName(kind);
    }
}

TEST(ToneGenerator, SweepsFollowTheirInstantaneousFrequency)
{
    for (bool log : {false, true}) {
        LToneParams s = Spec(LToneParams::Kind::Sweep, 100, -1, 2000);
        s.endFrequency = 8000;
        s.logSweep = log;
        const std::vector<double> zeros = RisingZeros(Generate(s));
        const double total = 88200;
        auto expected = [&](double frame) {
            const double x = frame / total;
            return log ? 100 * std::pow(80.0, x) : 100 + 7900 * x;
        };
        // The period between two rising zeros is the frequency at its middle.
        auto check = [&](size_t i, const char* where) {
            const double measured = 44100 / (zeros[i + 1] - zeros[i]);
            EXPECT_NEAR(measured / expected((zeros[i] + zeros[i + 1]) / 2), 1.0, 0.005)
                << (log ? "log " : "linear ") << where;
        };
        ASSERT_GT(zeros.size(), 10u);
        check(0, "start");
        size_t mid = 0;
        while (zeros[mid] < total / 2)
            ++mid;
        check(mid, "middle");
        check(zeros.size() - 2, "end");
        EXPECT_NEAR(expected(zeros[mid]), log ? 894.4 : 4050, log ? 5 : 25);
    }
}

TEST(ToneGenerator, WhiteNoiseIsFlatAndPinkFallsThreeDecibelsPerOctave)
{
    for (auto kind : {LToneParams::Kind::White, LToneParams::Kind::Pink}) {
        const std::vector<int32_t> v = Generate(Spec(kind, 0, -1, 20000));
        const int32_t peak = Spec(kind, 0, -1, 1).PeakValue();
        for (int32_t x : v)
            ASSERT_LE(std::abs(x), peak);
        const std::vector<double> p = PowerSpectrum(v);
        const double binHz = 44100.0 / 4096;
        // Mean power density per third of an octave from 100 Hz to 10 kHz,
        // times the frequency for pink noise: flat in both cases.
        std::vector<double> bands;
        for (double lo = 100; lo * 1.26 <= 10000 * 1.001; lo *= 1.2599) {
            double sum = 0;
            int32_t n = 0;
            for (size_t k = size_t(std::ceil(lo / binHz)); double(k) * binHz < lo * 1.2599; ++k, ++n)
                sum += p[k] * (kind == LToneParams::Kind::Pink ? double(k) * binHz : 1.0);
            bands.push_back(sum / n);
        }
        double mean = 0;
        for (double b : bands)
            mean += b / double(bands.size());
        for (size_t i = 0; i < bands.size(); ++i)
            EXPECT_NEAR(10 * std::log10(bands[i] / mean), 0.0, 1.5)
                << LToneParams::KindName(kind) << " band " << i << " from " << 100 * std::pow(1.2599, double(i)) << " Hz";
    }
}
