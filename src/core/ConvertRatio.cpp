#include "core/ConvertRatio.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// I0 by its series to seven terms.
long double BesselI0(long double x)
{
    long double y = x * x;
    long double term = y * 0.25L;
    long double sum = 1.0L + term;
    static const long double kFactors[] = {1.0L / 16, 1.0L / 36, 1.0L / 64, 1.0L / 100, 1.0L / 144};
    for (long double f : kFactors) {
        term *= y * f;
        sum += term;
    }
    return sum;
}

int32_t RoundHalfAway(long double v) { return int32_t(v < 0 ? -std::floor(-v + 0.5L) : std::floor(v + 0.5L)); }

} // namespace

ConvertRatio ConvertRatio::Design(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps)
{
    ConvertRatio r;
    r.taps = taps;
    sourceRate = std::max(sourceRate, 1);
    targetRate = std::max(targetRate, 1);
    const int32_t g = std::gcd(sourceRate, targetRate);
    r.phases = targetRate / g;
    r.step = sourceRate / g;
    r.rows = r.phases <= kMaxRows ? r.phases : kMaxRows + 1;
    const long double rowUnit = r.phases <= kMaxRows ? (long double)r.phases : (long double)kMaxRows;

    long double fc, beta;
    if (sourceRate < targetRate) {
        fc = 0.975L;
        beta = 2.12L;
    } else {
        fc = (long double)targetRate / sourceRate - (wideBand ? 0.09375L : 0.046875L);
        beta = 4.538L;
    }
    const long double pi = 3.14159265358979323846264338327950288L;
    long double scale = fc * 65536.0L / BesselI0(beta);
    long double w = pi * fc;
    int32_t half = taps >> 1;
    long double window = (long double)(half + 1) * (half + 1);

    // sin(w t) with t = m - f comes from the sines and cosines of w m for the whole
    // taps and of w f once per row: thousands of rows cost two sines each, not a
    // sine per coefficient.
    const size_t tapCount = size_t(taps);
    std::vector<long double> sinWhole(tapCount), cosWhole(tapCount);
    for (int32_t k = 0; k < taps; ++k) {
        sinWhole[size_t(k)] = std::sin(w * (long double)(k - half));
        cosWhole[size_t(k)] = std::cos(w * (long double)(k - half));
    }
    auto coefficient = [&](int32_t k, long double f, long double sinF, long double cosF) {
        long double t = (long double)(k - half) - f;
        if (t == 0.0L)
            return int32_t(std::trunc(fc * 65536.0L + 0.5L));
        long double wt = w * t;
        long double sinWt = sinWhole[size_t(k)] * cosF - cosWhole[size_t(k)] * sinF;
        return RoundHalfAway(scale * sinWt / wt * BesselI0(beta * std::sqrt(1.0L - t * t / window)));
    };

    r.coefficients.resize(size_t(r.rows) * size_t(taps));
    const int32_t unit = int32_t(rowUnit);
    for (int32_t p = 0; p < r.rows; ++p) {
        const long double f = (long double)p / rowUnit;
        const long double sinF = std::sin(w * f), cosF = std::cos(w * f);
        int32_t* row = r.coefficients.data() + size_t(p) * size_t(taps);
        if (2 * p > unit && taps % 2 == 1) {
            // The window is even: the row at fraction 1 - f is the row at f reversed,
            // one tap over; only its first tap is new.
            const int32_t* mirror = r.coefficients.data() + size_t(unit - p) * size_t(taps);
            for (int32_t k = 1; k < taps; ++k)
                row[k] = mirror[taps - k];
            row[0] = coefficient(0, f, sinF, cosF);
            continue;
        }
        for (int32_t k = 0; k < taps; ++k)
            row[k] = coefficient(k, f, sinF, cosF);
    }
    return r;
}

int64_t ConvertRatio::OutputFrames(int64_t inputFrames) const
{
    // Rounded half up; floor division keeps negative counts consistent.
    const int64_t num = 2 * inputFrames * phases + step;
    const int64_t den = 2 * int64_t(step);
    return num >= 0 ? num / den : -((-num + den - 1) / den);
}

bool ConvertRatio::CutoffFits(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps)
{
    if (sourceRate <= targetRate)
        return true;
    long double fc = (long double)targetRate / sourceRate - (wideBand ? 0.09375L : 0.046875L);
    return fc >= 2.0L / taps;
}
