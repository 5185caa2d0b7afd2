#pragma once
#include <cstdint>
#include <vector>

// An in-place radix-2 complex FFT of 2^bits points, with its bit-reversal table
// and cosine and sine tables of 2^bits entries built once. Forward transform
// (e^-i), not normalised. Thread-safe for concurrent Transform calls.
class LFFT {
public:
    explicit LFFT(int32_t bits);
    int32_t Size() const { return size_; }
    // re and im each hold Size() values.
    void Transform(double* re, double* im) const;

private:
    int32_t size_;
    std::vector<int32_t> reverse_;
    std::vector<double> cos_;
    std::vector<double> sin_;
};
