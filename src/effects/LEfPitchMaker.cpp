#include "effects/LEfPitchMaker.h"

#include <algorithm>

#include "effects/LEfSimpleSpeedMaker.h"
#include "effects/LEfTimeStretchMaker.h"

LSoundSource LEfPitchMaker::MakeSource(const LSoundSource& input) const
{
    const double f = std::max(factor, LEfSimpleSpeedMaker::kMinFactor);
    LSoundSource faster = LEfSimpleSpeedMaker(f).MakeSource(input);
    return LEfTimeStretchMaker(1.0 / f).MakeSource(faster);
}
