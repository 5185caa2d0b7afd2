#pragma once
#include "effects/LEfSourceMaker.h"

// Speed and pitch together by resampling: the input at rate R is converted to
// floor(R / f) and declared at R again, so it is f times shorter and f times
// higher. Factors below kMinFactor are raised to it.
class LEfSimpleSpeedMaker : public LEfSourceMaker {
public:
    static constexpr double kMinFactor = 0.1;

    explicit LEfSimpleSpeedMaker(double f) : factor(f) {}
    LSoundSource MakeSource(const LSoundSource& input) const override;

    double factor;  // 1.0 = unchanged, 2.0 = twice as fast
};
