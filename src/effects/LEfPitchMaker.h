#pragma once
#include "effects/LEfSourceMaker.h"

// Pitch without tempo: the simple speed change by `factor` (f times higher and
// shorter), then a time stretch by 1/f back to the length it had. Factors below
// 0.1 are raised to 0.1.
class LEfPitchMaker : public LEfSourceMaker {
public:
    explicit LEfPitchMaker(double f) : factor(f) {}
    LSoundSource MakeSource(const LSoundSource& input) const override;

    double factor;  // 2.0 = an octave up
};
