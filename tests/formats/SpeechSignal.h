#pragma once
// Deterministic test signals shaped like speech, for codec tests: voiced
// syllables (a pulse train at a gliding pitch through three moving formant
// resonators), unvoiced hiss, pauses, and a syllable-rate loudness envelope.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace test {

// A small linear congruential generator: the same sequence on every machine.
class Lcg {
public:
    explicit Lcg(uint32_t seed) : state_(seed) {}
    uint32_t Next()
    {
        state_ = state_ * 1664525u + 1013904223u;
        return state_;
    }
    // Uniform in [-1, 1).
    double Uniform() { return double(Next() >> 8) / double(1u << 23) - 1.0; }

private:
    uint32_t state_;
};

// `samples` 16-bit values at `rate` Hz peaking near `peak`; a `peak` above 32767
// drives some syllables into clipping.
inline std::vector<int16_t> SpeechLike(int32_t samples, uint32_t seed, double peak = 20000.0, int32_t rate = 8000)
{
    Lcg rng(seed);
    std::vector<double> v(size_t(samples), 0.0);
    const double pi = 3.14159265358979323846;
    double y[3][2] = {};
    double phase = 0.0;
    int32_t segmentLeft = 0;
    int32_t kind = 0;  // 0 voiced, 1 unvoiced, 2 pause
    double f[3] = {500, 1500, 2500};
    double target[3] = {500, 1500, 2500};
    double pitch = 120.0;
    double pitchTarget = 120.0;
    double level = 0.0;
    for (int32_t n = 0; n < samples; ++n) {
        if (segmentLeft-- <= 0) {
            segmentLeft = int32_t(rate * (0.08 + 0.25 * (rng.Uniform() + 1.0) / 2.0));
            uint32_t r = rng.Next() % 10;
            kind = r < 6 ? 0 : (r < 8 ? 1 : 2);
            target[0] = 300 + 500 * (rng.Uniform() + 1.0) / 2.0;
            target[1] = 900 + 1400 * (rng.Uniform() + 1.0) / 2.0;
            target[2] = 2200 + 1000 * (rng.Uniform() + 1.0) / 2.0;
            pitchTarget = 90 + 160 * (rng.Uniform() + 1.0) / 2.0;
        }
        for (int32_t i = 0; i < 3; ++i)
            f[i] += (target[i] - f[i]) * 0.002;
        pitch += (pitchTarget - pitch) * 0.001;
        double excitation = 0.0;
        if (kind == 0) {
            phase += pitch / rate;
            if (phase >= 1.0) {
                phase -= 1.0;
                excitation = 1.0;
            }
            excitation += 0.02 * rng.Uniform();
        } else if (kind == 1) {
            excitation = 0.3 * rng.Uniform();
        } else {
            excitation = 0.002 * rng.Uniform();
        }
        double wantLevel = kind == 2 ? 0.05 : 1.0;
        level += (wantLevel - level) * 0.003;
        double out = 0.0;
        for (int32_t i = 0; i < 3; ++i) {
            double r = kind == 1 ? 0.9 : 0.97;
            double theta = 2.0 * pi * f[i] / rate;
            double s = excitation + 2.0 * r * std::cos(theta) * y[i][0] - r * r * y[i][1];
            y[i][1] = y[i][0];
            y[i][0] = s;
            out += s * (i == 0 ? 1.0 : (i == 1 ? 0.6 : 0.3));
        }
        v[size_t(n)] = out * level;
    }
    double maxAbs = 1e-9;
    for (double s : v)
        maxAbs = std::max(maxAbs, std::fabs(s));
    std::vector<int16_t> out(static_cast<size_t>(samples));
    for (int32_t n = 0; n < samples; ++n) {
        double s = std::round(v[size_t(n)] / maxAbs * peak);
        out[size_t(n)] = int16_t(std::clamp(s, -32768.0, 32767.0));
    }
    return out;
}

// Uniform white noise of 16-bit values in [-amplitude, amplitude].
inline std::vector<int16_t> WhiteNoise(int32_t samples, uint32_t seed, int32_t amplitude = 32767)
{
    Lcg rng(seed);
    std::vector<int16_t> out(static_cast<size_t>(samples));
    for (auto& s : out)
        s = int16_t(std::clamp<int32_t>(int32_t(std::lround(rng.Uniform() * amplitude)), -32768, 32767));
    return out;
}

// Signal-to-noise ratio in dB of `got` against `want` (equal lengths).
template <class A, class B>
double SnrDb(const std::vector<A>& want, const std::vector<B>& got, double scaleGot = 1.0)
{
    double signal = 0.0;
    double noise = 0.0;
    size_t n = std::min(want.size(), got.size());
    for (size_t i = 0; i < n; ++i) {
        double w = double(want[i]);
        double g = double(got[i]) * scaleGot;
        signal += w * w;
        noise += (w - g) * (w - g);
    }
    return noise == 0.0 ? 200.0 : 10.0 * std::log10(signal / noise);
}

} // namespace test
