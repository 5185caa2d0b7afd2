#pragma once
#include "effects/LEfSourceMaker.h"
#include "effects/LSRCTimeStretch.h"

// Tempo without pitch: wraps the input in LSRCTimeStretch. Speeds are input
// frames per output frame (2.0 = half as long); the hop glides from `speed` to
// `endSpeed` over `glideMs`.
class LEfTimeStretchMaker : public LEfSourceMaker {
public:
    explicit LEfTimeStretchMaker(double startSpeed, double finalSpeed = 1.0, int32_t glide = 0,
                                 LSRCTimeStretch::Positions counting = LSRCTimeStretch::Positions::Output)
        : speed(startSpeed), endSpeed(finalSpeed), glideMs(glide), positions(counting)
    {
    }
    LSoundSource MakeSource(const LSoundSource& input) const override;

    double speed;
    double endSpeed;
    int32_t glideMs;
    LSRCTimeStretch::Positions positions;
};
