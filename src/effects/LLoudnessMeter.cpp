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
    : channels_(channels), sampleRate_(sampleRate), measures_(measures & kAll)
{
    Open();
}

LLoudnessMeter::~LLoudnessMeter() { Close(); }

void LLoudnessMeter::Close()
{
    if (state_) {
        ebur128_destroy(&state_->st);
        delete state_;
        state_ = nullptr;
    }
    truePeak_.reset();
    valid_ = false;
}

bool LLoudnessMeter::Open()
{
    maxMomentary_ = (measures_ & kMomentary) ? kSilent : kNoValue;
    maxShortTerm_ = (measures_ & kShortTerm) ? kSilent : kNoValue;
    // The library's own limits; it would refuse these too, without saying why.
    if (channels_ == 0 || sampleRate_ < 1 || sampleRate_ > 2822400) {
        error_ = "Cannot measure loudness of " + std::to_string(channels_) + " channels at " +
                 std::to_string(sampleRate_) + " Hz.";
        return false;
    }
    int mode = 0;
    if (measures_ & kIntegrated)
        mode |= EBUR128_MODE_I;
    // The library's true peak oversamples only 4 times with a short filter,
    // and slowly: LTruePeak measures it.
    if (measures_ & kTruePeak)
        truePeak_ = std::make_unique<LTruePeak>(channels_, sampleRate_);
    if (mode != 0) {
        ebur128_state* st = ebur128_init(channels_, static_cast<unsigned long>(sampleRate_), mode);
        if (!st) {
            error_ = "Cannot measure loudness: out of memory.";
            return false;
        }
        // The library's default map already counts one channel as a single
        // front channel (not dual mono, which would read 3 LU louder), as
        // broadcast meters and ffmpeg's ebur128 filter do. Stereo is stated.
        if (channels_ == 2) {
            ebur128_set_channel(st, 0, EBUR128_LEFT);
            ebur128_set_channel(st, 1, EBUR128_RIGHT);
        }
        state_ = new State{st};
    }

    windows_ = (measures_ & (kMomentary | kShortTerm | kRange)) != 0;
    // The K-weighting of BS.1770 at this rate: its high shelf (+4 dB above
    // about 1.7 kHz) and its high-pass (about 38 Hz), by the bilinear transform
    // of the analog prototypes, which gives the standard's 48 kHz coefficients.
    const double pi = 3.14159265358979323846;
    double k = std::tan(pi * 1681.974450955533 / sampleRate_);
    double q = 0.7071752369554196;
    const double vh = std::pow(10.0, 3.999843853973347 / 20.0);
    const double vb = std::pow(vh, 0.4996667741545416);
    double a0 = 1.0 + k / q + k * k;
    const Biquad shelf{(vh + vb * k / q + k * k) / a0, 2.0 * (k * k - vh) / a0, (vh - vb * k / q + k * k) / a0,
                       2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    k = std::tan(pi * 38.13547087602444 / sampleRate_);
    q = 0.5003270373238773;
    a0 = 1.0 + k / q + k * k;
    const Biquad highPass{1.0, -2.0, 1.0, 2.0 * (k * k - 1.0) / a0, (1.0 - k / q + k * k) / a0};
    shelf_.assign(channels_, shelf);
    highPass_.assign(channels_, highPass);
    weight_.assign(channels_, 0.0);
    for (uint8_t c = 0; c < channels_; ++c)
        weight_[c] = c < 3 ? 1.0 : (c == 4 || c == 5) ? 1.41 : 0.0;
    blockFrames_ = std::max<int32_t>(1, (sampleRate_ + 5) / 10);
    inBlock_ = 0;
    blockSum_ = 0;
    blocks_.fill(0.0);
    newest_ = kBlocks - 1;
    blocksSeen_ = 0;
    rangeCounts_.assign((measures_ & kRange) ? size_t(kRangeSteps) : 0U, 0U);
    rangeEnergy_ = 0;
    rangeWindows_ = 0;
    error_.clear();
    valid_ = true;
    return true;
}

void LLoudnessMeter::Reset()
{
    Close();
    Open();
}

bool LLoudnessMeter::Add(const int32_t* values, int32_t frames)
{
    if (!valid_)
        return false;
    if (frames <= 0)
        return true;
    if ((state_ || truePeak_) && !AddToLibrary(values, frames))
        return false;
    if (windows_)
        AddToWindows(values, frames);
    return true;
}

void LLoudnessMeter::AddToWindows(const int32_t* values, int32_t frames)
{
    const size_t channels = channels_;
    while (frames > 0) {
        const int32_t n = std::min(frames, blockFrames_ - inBlock_);
        for (size_t c = 0; c < channels; ++c) {
            if (weight_[c] == 0.0)
                continue;
            Biquad shelf = shelf_[c], highPass = highPass_[c];
            double sum = 0;
            const int32_t* v = values + c;
            for (int32_t i = 0; i < n; ++i, v += channels) {
                const double z = highPass.Run(shelf.Run(double(*v) * double(kStreamToFloat)));
                sum += z * z;
            }
            shelf_[c] = shelf;
            highPass_[c] = highPass;
            blockSum_ += weight_[c] * sum;
        }
        values += size_t(n) * channels;
        frames -= n;
        inBlock_ += n;
        if (inBlock_ == blockFrames_) {
            newest_ = (newest_ + 1) % kBlocks;
            blocks_[size_t(newest_)] = blockSum_;
            blockSum_ = 0;
            inBlock_ = 0;
            if (measures_ & kMomentary)
                maxMomentary_ = std::max(maxMomentary_, WindowLoudness(4));
            if (measures_ & kShortTerm)
                maxShortTerm_ = std::max(maxShortTerm_, WindowLoudness(kBlocks));
            if (blocksSeen_ < kBlocks)
                ++blocksSeen_;
            if ((measures_ & kRange) && blocksSeen_ == kBlocks)
                AddToRange();
        }
    }
}

double LLoudnessMeter::WindowLoudness(int32_t blocks) const
{
    double sum = 0;
    for (int32_t i = 0; i < blocks; ++i)
        sum += blocks_[size_t((newest_ - i + kBlocks) % kBlocks)];
    const double mean = sum / (double(blocks) * blockFrames_);
    return mean > 0 ? -0.691 + 10.0 * std::log10(mean) : kSilent;
}

void LLoudnessMeter::AddToRange()
{
    const double loudness = WindowLoudness(kBlocks);
    if (!(loudness >= kGate))
        return;
    const int32_t step = std::min<int32_t>(kRangeSteps - 1, int32_t(std::lround((loudness - kGate) * 100.0)));
    ++rangeCounts_[size_t(step)];
    rangeEnergy_ += std::pow(10.0, (loudness + 0.691) / 10.0);
    ++rangeWindows_;
}

bool LLoudnessMeter::AddToLibrary(const int32_t* values, int32_t frames)
{
    if (scratch_.empty())
        scratch_.resize(size_t(kScratchFrames) * channels_);
    while (frames > 0) {
        const int32_t n = std::min(frames, kScratchFrames);
        const size_t count = size_t(n) * channels_;
        for (size_t i = 0; i < count; ++i)
            scratch_[i] = float(values[i]) * kStreamToFloat;
        if (truePeak_)
            truePeak_->Add(scratch_.data(), n);
        const int rc = state_ ? ebur128_add_frames_float(state_->st, scratch_.data(), size_t(n)) : EBUR128_SUCCESS;
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
    return valid_ && (measures_ & kMomentary) ? WindowLoudness(4) : kNoValue;
}

double LLoudnessMeter::ShortTerm() const
{
    return valid_ && (measures_ & kShortTerm) ? WindowLoudness(kBlocks) : kNoValue;
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
    if (!valid_ || !(measures_ & kRange))
        return kNoValue;
    if (rangeWindows_ == 0)
        return 0.0;
    // Windows more than 20 LU below the mean of those above the absolute gate
    // are left out; the range runs from the 10th to the 95th percentile of the rest.
    const double mean = -0.691 + 10.0 * std::log10(rangeEnergy_ / double(rangeWindows_));
    const int32_t first = std::max<int32_t>(0, int32_t(std::ceil((mean - 20.0 - kGate) * 100.0 - 1e-9)));
    uint64_t counted = 0;
    for (int32_t i = first; i < kRangeSteps; ++i)
        counted += rangeCounts_[size_t(i)];
    if (counted == 0)
        return 0.0;
    const auto stepAt = [&](double fraction) {
        const uint64_t rank = std::max<uint64_t>(1, uint64_t(double(counted) * fraction + 0.5));
        uint64_t seen = 0;
        for (int32_t i = first; i < kRangeSteps; ++i) {
            seen += rangeCounts_[size_t(i)];
            if (seen >= rank)
                return i;
        }
        return kRangeSteps - 1;
    };
    return double(stepAt(0.95) - stepAt(0.10)) / 100.0;
}

double LLoudnessMeter::TruePeakLinear() const
{
    if (!truePeak_)
        return kNoValue;
    double peak = 0;
    for (uint8_t c = 0; c < channels_; ++c)
        peak = std::max(peak, truePeak_->Peak(c));
    return peak;
}

double LLoudnessMeter::TruePeak() const
{
    const double peak = TruePeakLinear();
    if (std::isnan(peak))
        return peak;
    return peak > 0 ? 20.0 * std::log10(peak) : kSilent;
}
