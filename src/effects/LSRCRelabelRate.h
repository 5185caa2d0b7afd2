#pragma once
#include "core/LSRCFilterBase.h"

// Forwards an upstream unchanged but declares another sample rate. Over a rate
// converter this turns resampling into a speed change: audio converted from R
// to R / f and declared at R plays f times faster and higher.
class LSRCRelabelRate : public LSRCFilterBase {
public:
    // `rate` in Hz; below 1 gives 44100 and state kSrcInvalid.
    LSRCRelabelRate(LSoundSource upstream, int32_t rate);
    void Read(int32_t* buffer, int32_t frames) override { upstream_->Read(buffer, frames); }
};
