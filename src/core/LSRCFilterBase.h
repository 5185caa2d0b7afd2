#pragma once
#include "core/LSoundSource.h"

// Base of every source that transforms one upstream source. Takes the upstream's
// format and maximum amplitude, and state kSrcUpstreamError when the upstream is
// in error. Position, length and seeking forward to the upstream unless overridden.
class LSRCFilterBase : public LSoundSourceBase {
public:
    explicit LSRCFilterBase(LSoundSource upstream);
    int32_t GetPosition() override { return upstream_->GetPosition(); }
    int32_t GetLength() override { return upstream_->GetLength(); }
    void Seek(int32_t frame) override { upstream_->Seek(frame); }

protected:
    LSoundSource upstream_;
};
