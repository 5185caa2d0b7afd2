#pragma once
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// One-pole high-pass in integer arithmetic: each channel's output is its input
// less a running low-pass estimate, and the estimate moves towards the input by
// a/256 of each output. Declares twice the input's full scale (a step can
// overshoot) unless that is already large.
class LSRCHighPass : public LSRCFilterBase {
public:
    // `corner` in Hz; the commands pass twice the frequency the user typed.
    LSRCHighPass(LSoundSource upstream, int32_t corner);
    void Read(int32_t* buffer, int32_t frames) override;
    // Forwards to the input and clears the estimates.
    void Seek(int32_t frame) override;

    // floor((1 - e^(-2*pi*corner/rate)) * 256), held to 0..256: a corner at or
    // below 0 Hz passes everything unchanged.
    static int32_t Coefficient(int32_t corner, int32_t rate);
    int32_t GetCoefficient() const { return a_; }

private:
    int32_t a_;
    // The estimate times 256 per channel. 64-bit so that inputs amplified far
    // beyond full scale cannot overflow it; within 20 bits it never leaves 32.
    std::vector<int64_t> state_;
};

// The high-pass corner value (already doubled) as the job, the preview and the
// batch converter hold it.
class LEfHighPassMaker : public LEfSourceMaker {
public:
    explicit LEfHighPassMaker(int32_t cornerValue) : corner(cornerValue) {}
    LSoundSource MakeSource(const LSoundSource& input) const override;

    int32_t corner;
};
