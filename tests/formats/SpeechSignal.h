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
// drives some syllables into clipping. Segments of 80-330 ms are voiced (60%),
// hiss (20%) or pause, with formants and pitch gliding to new targets.
inline std::vector<int16_t> SpeechLike(int32_t samples, uint32_t seed, double peak = 20000.0, int32_t rate = 8000)
{
    Lcg rng(seed);
    auto unit = [&rng] { return (rng.Uniform() + 1.0) / 2.0; };
    const double pi = 3.14159265358979323846;
    std::vector<double> v(size_t(samples), 0.0);
    double y[3][2] = {};
    double f[3] = {500, 1500, 2500};
    double target[3] = {500, 1500, 2500};
    double pitch = 120.0, pitchTarget = 120.0, phase = 0.0, level = 0.0;
    int32_t left = 0;
    uint32_t kind = 0;  // 0-5 voiced, 6-7 hiss, 8-9 pause
    for (int32_t n = 0; n < samples; ++n) {
        if (left-- <= 0) {
            left = int32_t(rate * (0.08 + 0.25 * unit()));
            kind = rng.Next() % 10;
            target[0] = 300 + 500 * unit();
            target[1] = 900 + 1400 * unit();
            target[2] = 2200 + 1000 * unit();
            pitchTarget = 90 + 160 * unit();
        }
        pitch += (pitchTarget - pitch) * 0.001;
        double excitation = kind < 6 ? 0.02 * rng.Uniform() : (kind < 8 ? 0.3 : 0.002) * rng.Uniform();
        if (kind < 6 && (phase += pitch / rate) >= 1.0) {
            phase -= 1.0;
            excitation += 1.0;
        }
        level += ((kind < 8 ? 1.0 : 0.05) - level) * 0.003;
        double out = 0.0;
        for (int32_t i = 0; i < 3; ++i) {
            f[i] += (target[i] - f[i]) * 0.002;
            double r = kind == 6 || kind == 7 ? 0.9 : 0.97;
            double s = excitation + 2.0 * r * std::cos(2.0 * pi * f[i] / rate) * y[i][0] - r * r * y[i][1];
            y[i][1] = y[i][0];
            y[i][0] = s;
            out += s / double(1 + i);
        }
        v[size_t(n)] = out * level;
    }
    double maxAbs = 1e-9;
    for (double s : v)
        maxAbs = std::max(maxAbs, std::fabs(s));
    std::vector<int16_t> out(static_cast<size_t>(samples));
    for (int32_t n = 0; n < samples; ++n)
        out[size_t(n)] = int16_t(std::clamp(std::round(v[size_t(n)] / maxAbs * peak), -32768.0, 32767.0));
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
