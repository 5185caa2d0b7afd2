#include "core/ConvertRatio.h"

#include <cmath>

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
    long double ratio = (long double)sourceRate / (long double)targetRate;

    // The first fraction with a denominator below 256 within 0.001 of the ratio, else the closest.
    long double best = ratio;
    int32_t d = 1;
    for (int32_t k = 1; k <= 255; ++k) {
        long double m = std::trunc(ratio * k + 0.5L);
        long double e = std::fabs(ratio - m / k);
        if (e < best) {
            d = k;
            if (e < 0.001L)
                break;
            best = e;
        }
    }
    r.phases = d;
    r.step = int32_t(std::trunc(ratio * d + 0.5L));

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

    r.coefficients.resize(size_t(d) * size_t(taps));
    for (int32_t p = 0; p < d; ++p) {
        for (int32_t k = 0; k < taps; ++k) {
            long double t = (long double)(k - half) - (long double)p / d;
            int32_t c;
            if (t == 0.0L) {
                c = int32_t(std::trunc(fc * 65536.0L + 0.5L));
            } else {
                long double wt = w * t;
                c = RoundHalfAway(scale * std::sin(wt) / wt * BesselI0(beta * std::sqrt(1.0L - t * t / window)));
            }
            r.coefficients[size_t(p) * size_t(taps) + size_t(k)] = c;
        }
    }
    return r;
}

bool ConvertRatio::CutoffFits(int32_t sourceRate, int32_t targetRate, bool wideBand, int32_t taps)
{
    if (sourceRate <= targetRate)
        return true;
    long double fc = (long double)targetRate / sourceRate - (wideBand ? 0.09375L : 0.046875L);
    return fc >= 2.0L / taps;
}
