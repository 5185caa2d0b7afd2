#include "effects/LSRCTimeStretch.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "core/Q24.h"

namespace {

constexpr int32_t kMaxRead = 8192;  // converters upstream take at most 8192 frames a call
constexpr double kMaxHopValues = double(int64_t(1) << 40);

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

} // namespace

LSRCTimeStretch::LSRCTimeStretch(LSoundSource upstream, double speed, double endSpeed, int32_t glideMs,
                                 Positions positions, bool align)
    : LSRCFilterBase(std::move(upstream)), positions_(positions), align_(align)
{
    channels_ = std::max<int32_t>(1, GetChannels());
    const int32_t rate = GetSampleRate();
    grain_ = std::clamp(rate / 90, 20, 2730);
    grainValues_ = grain_ * channels_;
    half_ = grainValues_ / 2;

    window_.assign(size_t(grainValues_), kQ24Unity);
    const int32_t n = grainValues_ - half_;
    const double pi = 3.14159265358979323846;
    for (int32_t i = 0; i < n; ++i)
        window_[size_t(half_ + i)] = int32_t(std::floor((0.5 * std::cos(pi * i / n) + 0.5) * kQ24Unity + 0.5));

    auto hopOf = [&](double s) {
        if (std::isnan(s))
            s = 1.0;
        return int64_t(std::clamp(std::floor(double(grainValues_) * s), -kMaxHopValues, kMaxHopValues));
    };
    initialHop_.hop = hopOf(speed);
    endHop_ = hopOf(endSpeed);
    initialHop_.glideLeft = glideMs > 0 ? int64_t(glideMs) * rate / 1000 * channels_ : 0;

    capacity_ = 8 * grain_;
    buffer_.resize(size_t(capacity_) * size_t(channels_));
    old_.resize(size_t(grainValues_));
    if (align_) {
        search_ = grain_ / 2;
        ref_.resize(size_t(grain_ - grain_ / 2 + 1) / 2);
        mono_.resize(size_t(2 * search_ + grain_));
    }

    origin_ = upstream_->GetPosition();
    bufStart_ = origin_;
    contiguous_ = true;
    if (positions_ == Positions::Output)
        outLength_ = ComputeOutputLength();
    Restart(origin_);
}

int64_t LSRCTimeStretch::StepHop(Hop& h) const
{
    int64_t frames = FloorDiv(h.hop, channels_);
    if (positions_ == Positions::Output)
        frames = std::max<int64_t>(frames, 1);
    if (h.glideLeft > 0) {
        h.hop += (endHop_ - h.hop) * grainValues_ / h.glideLeft;
        h.glideLeft -= grainValues_;
        if (h.glideLeft <= 0) {
            h.hop = endHop_;
            h.glideLeft = 0;
        }
    }
    return frames;
}

int64_t LSRCTimeStretch::ComputeOutputLength() const
{
    const int64_t length = std::max<int32_t>(upstream_->GetLength(), 0);
    Hop h = initialHop_;
    int64_t q = origin_;
    int64_t grains = 0;
    for (;;) {
        // The output ends where the new grain's read position reaches the input's end.
        if (q + grain_ > length)
            return grains * grain_ + std::max<int64_t>(0, length - q);
        if (h.glideLeft > 0) {
            q += StepHop(h);
            ++grains;
            continue;
        }
        const int64_t step = StepHop(h);
        const int64_t more = (length - grain_ - q) / step + 1;
        grains += more;
        q += more * step;
    }
}

void LSRCTimeStretch::Restart(int64_t start)
{
    hop_ = initialHop_;
    newStart_ = start;
    nominal_ = start;
    k_ = 0;
    identity_ = true;  // the first grain's old and new parts are the same frames
    EnsureWindow(start, 2 * int64_t(grain_));
}

void LSRCTimeStretch::ReadUpstream(int32_t* into, int64_t frames)
{
    while (frames > 0) {
        const int32_t n = int32_t(std::min<int64_t>(frames, kMaxRead));
        upstream_->Read(into, n);
        into += size_t(n) * size_t(channels_);
        frames -= n;
    }
}

void LSRCTimeStretch::EnsureWindow(int64_t first, int64_t frames)
{
    const int64_t last = first + frames;
    const int64_t bufEnd = bufStart_ + bufFrames_;
    if (first >= bufStart_ && last <= bufEnd)
        return;
    if (contiguous_ && first >= bufStart_ && first - bufEnd < capacity_) {
        // Forward and close: keep what overlaps, or read through a short gap,
        // rather than seek (a seek reopens segment files upstream).
        if (first <= bufEnd) {
            const int64_t keep = bufEnd - first;
            std::memmove(buffer_.data(), buffer_.data() + size_t(first - bufStart_) * size_t(channels_),
                         size_t(keep) * size_t(channels_) * sizeof(int32_t));
            bufFrames_ = keep;
        } else {
            for (int64_t gap = first - bufEnd; gap > 0;) {
                const int32_t n = int32_t(std::min<int64_t>(gap, std::min(capacity_, kMaxRead)));
                upstream_->Read(buffer_.data(), n);
                gap -= n;
            }
            bufFrames_ = 0;
        }
    } else {
        upstream_->Seek(Clamp32(first));
        contiguous_ = true;
        bufFrames_ = 0;
    }
    bufStart_ = first;
    ReadUpstream(buffer_.data() + size_t(bufFrames_) * size_t(channels_), capacity_ - bufFrames_);
    bufFrames_ = capacity_;
}

void LSRCTimeStretch::NextGrain()
{
    // The old grain carries on where the new grain's reading stopped.
    const int64_t oldStart = newStart_ + grain_;
    nominal_ += StepHop(hop_);
    const bool search = search_ > 0 && nominal_ != oldStart;
    identity_ = !search && nominal_ == oldStart;
    if (!identity_)
        std::memcpy(old_.data(), buffer_.data() + size_t(oldStart - bufStart_) * size_t(channels_),
                    size_t(grainValues_) * sizeof(int32_t));
    if (search) {
        EnsureWindow(nominal_ - search_, 2 * int64_t(grain_) + 2 * int64_t(search_));
        newStart_ = AlignedStart();
        identity_ = newStart_ == oldStart;
    } else {
        newStart_ = nominal_;
        EnsureWindow(newStart_, 2 * int64_t(grain_));
    }
    k_ = 0;
}

int64_t LSRCTimeStretch::AlignedStart()
{
    const size_t c = size_t(channels_);
    const int32_t half = grain_ / 2;
    // The old grain over the crossfade, every second frame, channels summed.
    const int32_t refs = int32_t(ref_.size());
    for (int32_t j = 0; j < refs; ++j) {
        const int32_t* v = old_.data() + size_t(half + 2 * j) * c;
        float sum = 0;
        for (size_t ch = 0; ch < c; ++ch)
            sum += float(v[ch]);
        ref_[size_t(j)] = sum;
    }
    const int32_t* base = buffer_.data() + size_t(nominal_ - search_ - bufStart_) * c;
    for (size_t m = 0; m < mono_.size(); ++m) {
        float sum = 0;
        for (size_t ch = 0; ch < c; ++ch)
            sum += float(base[m * c + ch]);
        mono_[m] = sum;
    }
    // Normalised correlation of the candidate starting `o` frames into mono_.
    auto score = [&](int32_t o, int32_t stride) {
        const float* x = mono_.data() + o + half;
        float cross = 0, energy = 0;
        for (int32_t j = 0; j < refs; j += stride) {
            cross += ref_[size_t(j)] * x[2 * j];
            energy += x[2 * j] * x[2 * j];
        }
        return energy > 0 ? double(cross) / std::sqrt(double(energy)) : 0.0;
    };
    // Coarse over every second offset and every fourth frame, then fine around the best.
    int32_t best = search_;
    double bestScore = score(best, 2);
    for (int32_t o = 0; o <= 2 * search_; o += 2)
        if (double v = score(o, 2); v > bestScore) {
            bestScore = v;
            best = o;
        }
    const int32_t centre = best;
    bestScore = score(centre, 1);
    for (int32_t o = std::max(centre - 1, 0); o <= std::min(centre + 1, 2 * search_); ++o)
        if (double v = score(o, 1); v > bestScore) {
            bestScore = v;
            best = o;
        }
    return nominal_ - search_ + best;
}

void LSRCTimeStretch::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const size_t c = size_t(channels_);
    if (outPos_ < 0) {
        const int32_t zeros = int32_t(std::min<int64_t>(-outPos_, frames));
        std::fill_n(buffer, size_t(zeros) * c, 0);
        buffer += size_t(zeros) * c;
        frames -= zeros;
        outPos_ += zeros;
    }
    while (frames > 0) {
        if (k_ == grain_)
            NextGrain();
        const int32_t n = std::min(grain_ - k_, frames);
        const int32_t* fresh = buffer_.data() + size_t(newStart_ - bufStart_ + k_) * c;
        const int32_t v0 = k_ * channels_;
        const int32_t v1 = (k_ + n) * channels_;
        if (identity_) {
            // Crossfading a stretch with itself is the identity; copying keeps it
            // bit-exact, which the split Q24 product (it drops low bits) would not.
            std::memcpy(buffer, fresh, size_t(v1 - v0) * sizeof(int32_t));
            buffer += v1 - v0;
        } else {
            const int32_t* old = old_.data();
            int32_t v = v0;
            for (const int32_t flat = std::min(v1, half_); v < flat; ++v)
                *buffer++ = old[v];
            for (; v < v1; ++v) {
                const int32_t w = window_[size_t(v)];
                const uint32_t sum = uint32_t(Q24Mul(old[v], w)) + uint32_t(Q24Mul(fresh[v - v0], kQ24Unity - w));
                *buffer++ = int32_t(sum);
            }
        }
        k_ += n;
        outPos_ += n;
        frames -= n;
    }
}

int32_t LSRCTimeStretch::GetPosition()
{
    return Clamp32(positions_ == Positions::Output ? outPos_ : newStart_ + k_);
}

int32_t LSRCTimeStretch::GetLength()
{
    return positions_ == Positions::Output ? Clamp32(outLength_) : upstream_->GetLength();
}

void LSRCTimeStretch::Seek(int32_t frame)
{
    if (positions_ == Positions::Input) {
        upstream_->Seek(frame);
        bufStart_ = frame;
        bufFrames_ = 0;
        contiguous_ = true;
        Restart(frame);
        return;
    }
    outPos_ = frame;
    if (frame <= 0) {
        Restart(origin_);
        return;
    }
    // Replay the nominal hops up to the grain that holds `frame`.
    const int64_t grains = frame / grain_;
    Hop h = initialHop_;
    int64_t q = origin_;
    int64_t previous = q;
    for (int64_t g = 0; g < grains; ++g) {
        if (h.glideLeft == 0) {
            const int64_t step = StepHop(h);
            previous = q + (grains - 1 - g) * step;
            q = previous + step;
            break;
        }
        previous = q;
        q += StepHop(h);
    }
    hop_ = h;
    k_ = int32_t(frame % grain_);
    identity_ = true;
    // The plain form can rebuild the old grain exactly; an aligned stretch
    // would need every earlier alignment, so it starts afresh at the grain.
    if (!align_ && grains > 0 && q != previous + grain_) {
        identity_ = false;
        EnsureWindow(previous, 2 * int64_t(grain_));
        std::memcpy(old_.data(), buffer_.data() + size_t(previous + grain_ - bufStart_) * size_t(channels_),
                    size_t(grainValues_) * sizeof(int32_t));
    }
    nominal_ = newStart_ = q;
    EnsureWindow(q, 2 * int64_t(grain_));
}
