#include "display/LFFT.h"

#include <cmath>
#include <numbers>
#include <utility>

LFFT::LFFT(int32_t bits) : size_(int32_t(1) << bits), reverse_(size_t(size_)), cos_(size_t(size_)), sin_(size_t(size_))
{
    for (int32_t i = 0; i < size_; ++i) {
        int32_t r = 0;
        for (int32_t b = 0; b < bits; ++b)
            r |= ((i >> b) & 1) << (bits - 1 - b);
        reverse_[size_t(i)] = r;
        const double a = 2.0 * std::numbers::pi * i / size_;
        cos_[size_t(i)] = std::cos(a);
        sin_[size_t(i)] = std::sin(a);
    }
}

void LFFT::Transform(double* re, double* im) const
{
    for (int32_t i = 0; i < size_; ++i) {
        int32_t r = reverse_[size_t(i)];
        if (r > i) {
            std::swap(re[i], re[r]);
            std::swap(im[i], im[r]);
        }
    }
    for (int32_t half = 1; half < size_; half *= 2) {
        const int32_t step = size_ / (2 * half);  // table stride of this stage's twiddles
        for (int32_t group = 0; group < size_; group += 2 * half) {
            for (int32_t k = 0; k < half; ++k) {
                const double wr = cos_[size_t(k * step)];
                const double wi = -sin_[size_t(k * step)];
                const int32_t a = group + k, b = a + half;
                const double tr = re[b] * wr - im[b] * wi;
                const double ti = re[b] * wi + im[b] * wr;
                re[b] = re[a] - tr;
                im[b] = im[a] - ti;
                re[a] += tr;
                im[a] += ti;
            }
        }
    }
}
