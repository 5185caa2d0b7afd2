#include "core/LSRCSoxrRate.h"

#include <soxr.h>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

int32_t ToSample(double v)
{
    // The filter's overshoot can pass full scale; clamp before converting so the
    // conversion itself never overflows.
    return int32_t(std::nearbyint(std::clamp(v, double(INT32_MIN), double(INT32_MAX))));
}

} // namespace

LSRCSoxrRate::LSRCSoxrRate(LSoundSource upstream, int32_t targetRate) : LSRCFilterBase(std::move(upstream))
{
    const int32_t sourceRate = GetSampleRate();
    const uint32_t amp = upstream_->GetMaxAmplitude();
    SetMaxAmplitude(amp <= 0x100000 ? amp * 2 : amp);
    SetSampleRate(targetRate);
    const int64_t divisor = std::gcd(int64_t(sourceRate), int64_t(GetSampleRate()));
    step_ = sourceRate / divisor;
    phases_ = GetSampleRate() / divisor;
    const size_t channels = GetChannels();
    raw_.resize(size_t(kBlock) * channels);
    input_.resize(size_t(kBlock) * channels);
    output_.resize(size_t(kBlock) * channels);
    // Doubles in and out: our samples carry 20 bits and soxr's very high quality
    // works in doubles, so nothing is lost or dithered on the way through.
    const soxr_io_spec_t io = soxr_io_spec(SOXR_FLOAT64_I, SOXR_FLOAT64_I);
    const soxr_quality_spec_t quality = soxr_quality_spec(SOXR_VHQ, 0);
    const soxr_runtime_spec_t runtime = soxr_runtime_spec(1);
    soxr_error_t error = nullptr;
    soxr_ = soxr_create(double(sourceRate), double(GetSampleRate()), unsigned(channels), &error, &io, &quality,
                        &runtime);
    if (error || !soxr_) {
        soxr_delete(soxr_);
        soxr_ = nullptr;
        SetError(kSrcInvalid);
    }
}

LSRCSoxrRate::~LSRCSoxrRate() { soxr_delete(soxr_); }

int64_t LSRCSoxrRate::OutputFrames(int64_t inputFrames) const
{
    if (inputFrames <= 0)
        return 0;
    // Split so that no product overflows: the remainder is below step_.
    const int64_t whole = inputFrames / step_, rest = inputFrames % step_;
    return whole * phases_ + (2 * rest * phases_ + step_) / (2 * step_);
}

int32_t LSRCSoxrRate::GetLength()
{
    return int32_t(std::min<int64_t>(OutputFrames(upstream_->GetLength()), INT32_MAX));
}

void LSRCSoxrRate::FillInput()
{
    // Past the upstream's end this reads zeros, which drains the filter's tail.
    upstream_->Read(raw_.data(), kBlock);
    std::copy(raw_.begin(), raw_.end(), input_.begin());
    inputOffset_ = 0;
    inputFrames_ = kBlock;
}

void LSRCSoxrRate::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const size_t channels = GetChannels();
    position_ = int32_t(std::min<int64_t>(int64_t(position_) + frames, INT32_MAX));
    if (GetError() != kSrcGood) {
        std::fill_n(buffer, size_t(frames) * channels, 0);
        return;
    }
    size_t done = 0;
    const size_t wanted = size_t(frames);
    const size_t zeros = size_t(std::min<int64_t>(leadZeros_, frames));
    std::fill_n(buffer, zeros * channels, 0);
    done = zeros;
    leadZeros_ -= int64_t(zeros);
    while (done < wanted) {
        if (inputOffset_ == inputFrames_)
            FillInput();
        const size_t room = output_.size() / channels;
        const size_t ask = skip_ > 0 ? size_t(std::min<int64_t>(skip_, int64_t(room))) : std::min(room, wanted - done);
        size_t used = 0, made = 0;
        const soxr_error_t error = soxr_process(soxr_, input_.data() + inputOffset_ * channels,
                                                inputFrames_ - inputOffset_, &used, output_.data(), ask, &made);
        if (error || (used == 0 && made == 0)) {
            // Never seen; the rest reads as silence rather than spinning here.
            SetError(kSrcInvalid);
            std::fill(buffer + done * channels, buffer + wanted * channels, 0);
            return;
        }
        inputOffset_ += used;
        if (skip_ > 0) {
            skip_ -= int64_t(made);
            continue;
        }
        for (size_t i = 0; i < made * channels; ++i)
            buffer[done * channels + i] = ToSample(output_[i]);
        done += made;
    }
}

void LSRCSoxrRate::Seek(int32_t frame)
{
    position_ = frame;
    if (!soxr_)
        return;
    // Start the filter this many input frames ahead of the wanted frame, on a
    // frame where the input and output grids meet, so the wanted frame sees the
    // same history as in a read from the start.
    constexpr int64_t kLeadIn = 16384;
    const int64_t wantedInput = int64_t(frame) * step_ / phases_ - kLeadIn;
    const int64_t periods = wantedInput > 0 ? wantedInput / step_ : 0;
    const int64_t startInput = periods * step_, startOutput = periods * phases_;
    soxr_clear(soxr_);
    upstream_->Seek(int32_t(std::min<int64_t>(startInput, INT32_MAX)));
    inputOffset_ = inputFrames_ = 0;
    leadZeros_ = frame < 0 ? -int64_t(frame) : 0;
    skip_ = frame < 0 ? 0 : int64_t(frame) - startOutput;
}
