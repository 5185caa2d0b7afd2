#include "effects/LEfTimeStretchMaker.h"

LSoundSource LEfTimeStretchMaker::MakeSource(const LSoundSource& input) const
{
    return ::MakeSource<LSRCTimeStretch>(input, speed, endSpeed, glideMs, positions);
}
