#include "effects/LSRCHighPass.h"

#include <algorithm>

#include "effects/LEfArith.h"

int32_t LSRCHighPass::Coefficient(int32_t corner, int32_t rate)
{
    return EfOnePoleCoefficient(6.283185307 * corner, rate);
}

LSRCHighPass::LSRCHighPass(LSoundSource upstream, int32_t corner)
    : LSRCFilterBase(std::move(upstream)), a_(Coefficient(corner, GetSampleRate())), state_(GetChannels(), 0)
{
    if (GetMaxAmplitude() <= 0x100000)
        SetMaxAmplitude(GetMaxAmplitude() * 2);
}

void LSRCHighPass::Read(int32_t* buffer, int32_t frames)
{
    upstream_->Read(buffer, frames);
    const size_t channels = GetChannels();
    const int64_t a = a_;
    for (size_t c = 0; c < channels; ++c) {
        int64_t s = state_[c];
        int32_t* v = buffer + c;
        for (int32_t f = 0; f < frames; ++f, v += channels) {
            const int64_t x = *v - (s >> 8);
            s += x * a;
            *v = EfSaturate32(x);
        }
        state_[c] = s;
    }
}

void LSRCHighPass::Seek(int32_t frame)
{
    std::fill(state_.begin(), state_.end(), 0);
    upstream_->Seek(frame);
}

LSoundSource LEfHighPassMaker::MakeSource(const LSoundSource& input) const
{
    return ::MakeSource<LSRCHighPass>(input, corner);
}
