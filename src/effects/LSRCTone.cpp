#include "effects/LSRCTone.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kTwoPi = 6.283185307179586476925;

// A uniform value in [-1, 1) for (frame, channel): splitmix64 over a counter,
// so any frame can be had without generating the ones before it.
double Uniform(int64_t n, int32_t channel)
{
    uint64_t z = (uint64_t(n) << 1 | uint64_t(channel)) + 0x9E3779B97F4A7C15ull * 0x5EED;
    z += 0x9E3779B97F4A7C15ull;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    z ^= z >> 31;
    return double(z >> 11) * (2.0 / 9007199254740992.0) - 1.0;
}

// The fraction of a cycle a tone of `freq` Hz has reached at frame n.
double Cycle(double freq, int64_t n, int32_t rate)
{
    const double c = std::fmod(freq * double(n), double(rate)) / double(rate);
    return c < 0 ? c + 1 : c;
}

// Paul Kellet's pinking filter keeps within 0.05 dB of -3 dB per octave above
// about 10 Hz at 44.1 kHz; with this gain its output stays inside full scale
// but for a rare peak, which is clipped.
constexpr double kPinkGain = 0.09;

} // namespace

LSRCTone::LSRCTone(const LToneParams& spec) : LSoundSourceBase(spec.sampleRate, spec.channels, 0x7FFF0), spec_(spec)
{
    if (!spec_.Check().empty()) {
        SetError(kSrcInvalid);
        return;
    }
    length_ = int32_t(spec_.Frames());
    peak_ = spec_.PeakValue();
    const int32_t rate = spec_.sampleRate;
    toneFrames_ = int64_t(spec_.toneMs) * rate / 1000;
    periodFrames_ = toneFrames_ + int64_t(spec_.pauseMs) * rate / 1000;
    fadeIn_ = int64_t(spec_.fadeInMs) * rate / 1000;
    fadeOut_ = int64_t(spec_.fadeOutMs) * rate / 1000;
}

double LSRCTone::Fade(int64_t n, int64_t length) const
{
    double g = 1;
    if (n < fadeIn_)
        g = double(n) / double(fadeIn_);
    if (length - n <= fadeOut_)
        g = std::min(g, double(length - n - 1) / double(fadeOut_));
    return g;
}

double LSRCTone::PinkAt(int64_t n, int32_t channel)
{
    if (n != pinkFrame_) {
        // Played forward the filter runs once per frame; only a seek back replays it.
        if (n < pinkNext_) {
            pink_ = {};
            pinkNext_ = 0;
        }
        for (; pinkNext_ <= n; ++pinkNext_) {
            for (int32_t c = 0; c < spec_.channels; ++c) {
                std::array<double, 7>& b = pink_[size_t(c)];
                const double white = Uniform(pinkNext_, c);
                b[0] = 0.99886 * b[0] + white * 0.0555179;
                b[1] = 0.99332 * b[1] + white * 0.0750759;
                b[2] = 0.96900 * b[2] + white * 0.1538520;
                b[3] = 0.86650 * b[3] + white * 0.3104856;
                b[4] = 0.55000 * b[4] + white * 0.5329522;
                b[5] = -0.7616 * b[5] - white * 0.0168980;
                pinkOut_[size_t(c)] = b[0] + b[1] + b[2] + b[3] + b[4] + b[5] + b[6] + white * 0.5362;
                b[6] = white * 0.115926;
            }
        }
        pinkFrame_ = n;
    }
    return std::clamp(pinkOut_[size_t(channel)] * kPinkGain, -1.0, 1.0);
}

double LSRCTone::Value(int64_t n, int32_t channel)
{
    const int32_t rate = spec_.sampleRate;
    const double f = spec_.frequency;
    switch (spec_.kind) {
    case LToneParams::Kind::Sine: return std::sin(kTwoPi * Cycle(f, n, rate)) * Fade(n, length_);
    case LToneParams::Kind::Square: return (Cycle(f, n, rate) < 0.5 ? 1.0 : -1.0) * Fade(n, length_);
    case LToneParams::Kind::Triangle: {
        // From 0 rising, so the tone starts without a step.
        const double c = Cycle(f, n, rate);
        const double v = c < 0.25 ? 4 * c : c < 0.75 ? 2 - 4 * c : 4 * c - 4;
        return v * Fade(n, length_);
    }
    case LToneParams::Kind::Sawtooth: {
        const double c = Cycle(f, n, rate);
        return (c < 0.5 ? 2 * c : 2 * c - 2) * Fade(n, length_);
    }
    case LToneParams::Kind::Sweep: {
        // The phase is the integral of the instantaneous frequency.
        const double t = double(n) / rate, total = double(length_) / rate;
        const double f1 = spec_.endFrequency;
        double cycles;
        if (spec_.logSweep && f1 != f) {
            const double k = std::log(f1 / f);
            cycles = f * total / k * std::expm1(k * t / total);
        } else {
            cycles = f * t + (f1 - f) * t * t / (2 * total);
        }
        return std::sin(kTwoPi * (cycles - std::floor(cycles))) * Fade(n, length_);
    }
    case LToneParams::Kind::White: return Uniform(n, channel) * Fade(n, length_);
    case LToneParams::Kind::Pink: return PinkAt(n, channel) * Fade(n, length_);
    case LToneParams::Kind::Dtmf: {
        const int64_t digit = n / periodFrames_, within = n % periodFrames_;
        int32_t low = 0, high = 0;
        if (within >= toneFrames_ || !LToneParams::DtmfPair(spec_.digits[size_t(digit)], low, high))
            return 0;
        // Each of the pair at half the level, so together they reach it.
        return 0.5 * (std::sin(kTwoPi * Cycle(low, within, rate)) + std::sin(kTwoPi * Cycle(high, within, rate))) *
               Fade(within, toneFrames_);
    }
    case LToneParams::Kind::Silence: break;
    }
    return 0;
}

void LSRCTone::Read(int32_t* buffer, int32_t frames)
{
    const int32_t channels = GetChannels();
    for (int32_t i = 0; i < frames; ++i) {
        const int64_t n = int64_t(position_) + i;
        for (int32_t c = 0; c < channels; ++c) {
            int32_t v = 0;
            if (n >= 0 && n < length_)
                v = int32_t(std::lround(peak_ * Value(n, c)));
            buffer[size_t(i) * size_t(channels) + size_t(c)] = v;
        }
    }
    position_ = int32_t(std::min<int64_t>(int64_t(position_) + frames, INT32_MAX));
}
