#include "effects/LLoudnessMeter.h"

#include <ebur128.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double kNoValue = std::numeric_limits<double>::quiet_NaN();
constexpr double kSilent = -std::numeric_limits<double>::infinity();
// Stream values are 16-bit samples times 16: -32768 * 16 is -1.0.
constexpr float kStreamToFloat = 1.0F / 524288.0F;
constexpr int32_t kScratchFrames = 4096;

std::string LibraryError(int code)
{
    switch (code) {
    case EBUR128_ERROR_NOMEM: return "out of memory";
    case EBUR128_ERROR_INVALID_MODE: return "a measure that was not asked for";
    case EBUR128_ERROR_INVALID_CHANNEL_INDEX: return "an invalid channel";
    default: return "error " + std::to_string(code);
    }
}

} // namespace

struct LLoudnessMeter::State {
    ebur128_state* st;
};

LLoudnessMeter::LLoudnessMeter(uint8_t channels, int32_t sampleRate, uint32_t measures)
    : channels_(channels), sampleRate_(sampleRate), measures_(measures & kAll),
      updateFrames_(std::max<int32_t>(1, sampleRate / 10))
{
    Open();
}

LLoudnessMeter::~LLoudnessMeter()
{
    Close();
}

void LLoudnessMeter::Close()
{
    if (state_) {
        ebur128_destroy(&state_->st);
        delete state_;
        state_ = nullptr;
    }
}

bool LLoudnessMeter::Open()
{
    maxMomentary_ = (measures_ & kMomentary) ? kSilent : kNoValue;
    maxShortTerm_ = (measures_ & kShortTerm) ? kSilent : kNoValue;
    sinceUpdate_ = 0;
    // The library's own limits; it would refuse these too, without saying why.
    if (channels_ == 0 || sampleRate_ < 1 || sampleRate_ > 2822400) {
        error_ = "Cannot measure loudness of " + std::to_string(channels_) + " channels at " +
                 std::to_string(sampleRate_) + " Hz.";
        return false;
    }
    int mode = 0;
    if (measures_ & kMomentary)
        mode |= EBUR128_MODE_M;
    if (measures_ & kShortTerm)
        mode |= EBUR128_MODE_S;
    if (measures_ & kIntegrated)
        mode |= EBUR128_MODE_I;
    if (measures_ & kRange)
        mode |= EBUR128_MODE_LRA;
    if (measures_ & kTruePeak)
        mode |= EBUR128_MODE_TRUE_PEAK;
    ebur128_state* st = ebur128_init(channels_, static_cast<unsigned long>(sampleRate_), mode);
    if (!st) {
        error_ = "Cannot measure loudness: out of memory.";
        return false;
    }
    // The library's default map already counts one channel as a single front
    // channel (not dual mono, which would read 3 LU louder), as broadcast
    // meters and ffmpeg's ebur128 filter do. Only stereo is stated, to be sure.
    if (channels_ == 2) {
        ebur128_set_channel(st, 0, EBUR128_LEFT);
        ebur128_set_channel(st, 1, EBUR128_RIGHT);
    }
    state_ = new State{st};
    error_.clear();
    return true;
}

void LLoudnessMeter::Reset()
{
    Close();
    Open();
}

bool LLoudnessMeter::Add(const int32_t* values, int32_t frames)
{
    if (!state_)
        return false;
    // Slices end on the 100 ms marks so that the maxima see every window a
    // meter updating ten times a second would show.
    while (frames > 0) {
        const int32_t n = std::min(frames, updateFrames_ - sinceUpdate_);
        if (!AddSlice(values, n))
            return false;
        values += size_t(n) * channels_;
        frames -= n;
        sinceUpdate_ += n;
        if (sinceUpdate_ == updateFrames_) {
            sinceUpdate_ = 0;
            double v = 0;
            if ((measures_ & kMomentary) && ebur128_loudness_momentary(state_->st, &v) == EBUR128_SUCCESS)
                maxMomentary_ = std::max(maxMomentary_, v);
            if ((measures_ & kShortTerm) && ebur128_loudness_shortterm(state_->st, &v) == EBUR128_SUCCESS)
                maxShortTerm_ = std::max(maxShortTerm_, v);
        }
    }
    return true;
}

bool LLoudnessMeter::AddSlice(const int32_t* values, int32_t frames)
{
    if (scratch_.empty())
        scratch_.resize(size_t(kScratchFrames) * channels_);
    while (frames > 0) {
        const int32_t n = std::min(frames, kScratchFrames);
        const size_t count = size_t(n) * channels_;
        for (size_t i = 0; i < count; ++i)
            scratch_[i] = float(values[i]) * kStreamToFloat;
        const int rc = ebur128_add_frames_float(state_->st, scratch_.data(), size_t(n));
        if (rc != EBUR128_SUCCESS) {
            error_ = "Cannot measure loudness: " + LibraryError(rc) + ".";
            return false;
        }
        values += count;
        frames -= n;
    }
    return true;
}

double LLoudnessMeter::Momentary() const
{
    double v = kNoValue;
    if (state_ && (measures_ & kMomentary) && ebur128_loudness_momentary(state_->st, &v) != EBUR128_SUCCESS)
        v = kNoValue;
    return v;
}

double LLoudnessMeter::ShortTerm() const
{
    double v = kNoValue;
    if (state_ && (measures_ & kShortTerm) && ebur128_loudness_shortterm(state_->st, &v) != EBUR128_SUCCESS)
        v = kNoValue;
    return v;
}

double LLoudnessMeter::Integrated() const
{
    double v = kNoValue;
    if (state_ && (measures_ & kIntegrated) && ebur128_loudness_global(state_->st, &v) != EBUR128_SUCCESS)
        v = kNoValue;
    return v;
}

double LLoudnessMeter::Range() const
{
    double v = kNoValue;
    if (!state_ || !(measures_ & kRange) || ebur128_loudness_range(state_->st, &v) != EBUR128_SUCCESS)
        return kNoValue;
    return v;
}

double LLoudnessMeter::TruePeakLinear() const
{
    if (!state_ || !(measures_ & kTruePeak))
        return kNoValue;
    double peak = 0;
    for (unsigned c = 0; c < channels_; ++c) {
        double v = 0;
        if (ebur128_true_peak(state_->st, c, &v) == EBUR128_SUCCESS)
            peak = std::max(peak, v);
    }
    return peak;
}

double LLoudnessMeter::TruePeak() const
{
    const double peak = TruePeakLinear();
    if (std::isnan(peak))
        return peak;
    return peak > 0 ? 20.0 * std::log10(peak) : kSilent;
}
