#include "display/LSpectrogramColumns.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <numbers>

#include "core/SampleConvert.h"
#include "display/LCutListChange.h"

namespace {

int32_t FftBits(int32_t size)
{
    size = std::clamp(size, kSpectrogramMinFFT, kSpectrogramMaxFFT);
    return int32_t(std::bit_width(uint32_t(size))) - 1;
}

// log2 to about 1e-4, which is far below a level step (0.47 dB = 0.16 of a
// binary octave of power). std::log10 per bin was a third of a column's time.
float FastLog2(float x)
{
    const uint32_t bits = std::bit_cast<uint32_t>(x);
    const float exponent = float(int32_t((bits >> 23) & 0xFF) - 127);
    const float m = std::bit_cast<float>((bits & 0x007FFFFFu) | 0x3F800000u);  // 1 <= m < 2
    return exponent + (-1.7417939f + (2.8212026f + (-1.4699568f + (0.44717955f - 0.056570851f * m) * m) * m) * m);
}

uint64_t KeyOf(int64_t a, int64_t b) { return (uint64_t(uint32_t(int32_t(a))) << 32) | uint32_t(int32_t(b)); }

} // namespace

LSpectrogramColumns::LSpectrogramColumns(const LCutListAudio& list, int32_t fftSize, size_t cacheBytes)
    : list_(list), channels_(list.channels == 2 ? 2 : 1), length_(list_.GetLength()), source_(list_.OpenSource()),
      fft_(FftBits(fftSize)), cacheBytes_(cacheBytes)
{
    const int32_t n = fft_.Size();
    window_.resize(size_t(n));
    for (int32_t i = 0; i < n; ++i)
        window_[size_t(i)] = float(0.5 - 0.5 * std::cos(2.0 * std::numbers::pi * i / n));
    buffer_.resize(size_t(n) * 2);
    re_.resize(size_t(n));
    im_.resize(size_t(n));
    power_.resize(size_t(Bins()) * 2);
}

void LSpectrogramColumns::SetAudio(const LCutListAudio& list)
{
    const LCutListChange change = LCutListChange::Between(list_, list);
    if (!change.Empty()) {
        // A column reads at most half a window beyond its frames; a whole one is a safe margin.
        const int64_t margin = fft_.Size();
        for (auto it = cache_.begin(); it != cache_.end();) {
            if (it->second.a - margin < change.to && it->second.b + margin > change.from) {
                bytes_ -= it->second.column->levels.size();
                it = cache_.erase(it);
            } else {
                ++it;
            }
        }
    }
    list_ = list;
    channels_ = list_.channels == 2 ? 2 : 1;
    length_ = list_.GetLength();
    source_ = list_.OpenSource();
    spanFrames_ = 0;
    sourceAt_ = -1;
}

bool LSpectrogramColumns::Compute(const LWaveMapping& map, int32_t from, int32_t to,
                                  std::shared_ptr<const LSpectrogramColumn>* out, const std::atomic<bool>* stop)
{
    for (int32_t x = from; x < to; ++x) {
        if (stop && stop->load())
            return false;
        if (map.ViewLength() <= 0) {
            out[x] = nullptr;
            continue;
        }
        const int64_t a = map.PixelToFrame(x);
        // Zoomed in beyond a frame per column, a column still shows the frame it lies on.
        const int64_t b = std::max<int64_t>(map.PixelToFrame(x + 1), a + 1);
        out[x] = Column(a, b);
    }
    return true;
}

std::shared_ptr<const LSpectrogramColumn> LSpectrogramColumns::Column(int64_t a, int64_t b)
{
    const uint64_t key = KeyOf(a, b);
    auto it = cache_.find(key);
    if (it != cache_.end() && it->second.a == a && it->second.b == b) {
        it->second.used = ++clock_;
        return it->second.column;
    }
    std::shared_ptr<const LSpectrogramColumn> column = Analyse(a, b);
    ++computed_;
    bytes_ += column->levels.size();
    cache_[key] = Entry{column, a, b, ++clock_};
    if (bytes_ > cacheBytes_)
        Evict();
    return column;
}

void LSpectrogramColumns::Evict()
{
    // Down to three quarters of the budget, least recently used first, so that
    // a scroll does not evict on every column.
    std::vector<std::pair<uint64_t, uint64_t>> byUse;
    byUse.reserve(cache_.size());
    for (const auto& [key, e] : cache_)
        byUse.emplace_back(e.used, key);
    std::sort(byUse.begin(), byUse.end());
    for (const auto& [used, key] : byUse) {
        if (bytes_ <= cacheBytes_ / 4 * 3)
            break;
        auto it = cache_.find(key);
        bytes_ -= it->second.column->levels.size();
        cache_.erase(it);
    }
}

void LSpectrogramColumns::Read(int64_t start, int64_t ahead)
{
    const int64_t n = fft_.Size();
    if (start < spanStart_ || start + n > spanStart_ + spanFrames_) {
        spanStart_ = start;
        spanFrames_ = n + ahead;
        span_.assign(size_t(spanFrames_ * channels_), 0);
        const int64_t lo = std::max<int64_t>(start, 0), hi = std::min(start + spanFrames_, length_);
        if (lo < hi) {
            if (lo != sourceAt_)
                source_->Seek(int32_t(lo));
            source_->Read(span_.data() + (lo - start) * channels_, int32_t(hi - lo));
            sourceAt_ = hi;
        }
    }
    std::copy_n(span_.begin() + (start - spanStart_) * channels_, size_t(n * channels_), buffer_.begin());
}

std::shared_ptr<LSpectrogramColumn> LSpectrogramColumns::Analyse(int64_t a, int64_t b)
{
    const int32_t n = fft_.Size(), bins = Bins();
    const int64_t width = b - a;
    // Window starts: one centred in the column, or, where the transform has room
    // for a second (mono), two at its quarters. A second transform per stereo
    // column would double the time a scroll takes.
    int64_t starts[2] = {a + width / 2 - n / 2, 0};
    int32_t windows = 1;
    if (channels_ == 1 && width >= 2 * int64_t(n)) {
        starts[0] = a + width / 4 - n / 2;
        starts[1] = a + width * 3 / 4 - n / 2;
        windows = 2;
    }
    // Close columns (narrower than a window) read the next 32 columns' frames with this one's.
    const int64_t ahead = windows == 1 && width < n ? std::min<int64_t>(32 * width, 65536) : 0;
    std::fill(power_.begin(), power_.end(), 0.0);
    double* p0 = power_.data();
    double* p1 = power_.data() + bins;

    // Transforms x + iy and adds the power spectra of x to px and of y to py:
    // X[k] = (Z[k] + conj Z[n-k]) / 2, Y[k] = (Z[k] - conj Z[n-k]) / 2i.
    auto transformPair = [&](double* px, double* py) {
        fft_.Transform(re_.data(), im_.data());
        for (int32_t k = 0; k < bins; ++k) {
            const int32_t m = (n - k) & (n - 1);
            const double sr = re_[size_t(k)] + re_[size_t(m)], di = im_[size_t(k)] - im_[size_t(m)];
            const double si = im_[size_t(k)] + im_[size_t(m)], dr = re_[size_t(k)] - re_[size_t(m)];
            px[k] += 0.25 * (sr * sr + di * di);
            if (py)
                py[k] += 0.25 * (si * si + dr * dr);
        }
    };

    if (channels_ == 2) {
        Read(starts[0], ahead);
        for (int32_t i = 0; i < n; ++i) {
            re_[size_t(i)] = double(buffer_[size_t(2 * i)]) * window_[size_t(i)];
            im_[size_t(i)] = double(buffer_[size_t(2 * i + 1)]) * window_[size_t(i)];
        }
        transformPair(p0, p1);
    } else {
        Read(starts[0], ahead);
        for (int32_t i = 0; i < n; ++i)
            re_[size_t(i)] = double(buffer_[size_t(i)]) * window_[size_t(i)];
        if (windows == 2) {
            Read(starts[1], ahead);
            for (int32_t i = 0; i < n; ++i)
                im_[size_t(i)] = double(buffer_[size_t(i)]) * window_[size_t(i)];
        } else {
            std::fill(im_.begin(), im_.end(), 0.0);
        }
        // Both windows' power lands in the one channel.
        transformPair(p0, windows == 2 ? p0 : nullptr);
    }

    auto column = std::make_shared<LSpectrogramColumn>();
    column->bins = bins;
    column->channels = channels_;
    column->levels.resize(size_t(bins) * size_t(channels_));
    // A full-scale sine of amplitude A peaks at |X| = A n / 4 through the Hann
    // window (whose sum is n / 2, half of it at the positive frequency).
    const double fullScale = double(kFullScale16) * n / 4.0;
    const float scale = float(1.0 / (fullScale * fullScale * windows));
    const float perLog2 = float(10.0 * std::log10(2.0) * 255.0 / -kSpectrogramFloorDb);
    const float offset = 255.0f;
    for (int32_t c = 0; c < channels_; ++c) {
        const double* p = power_.data() + size_t(c) * size_t(bins);
        uint8_t* out = column->levels.data() + size_t(c) * size_t(bins);
        for (int32_t k = 0; k < bins; ++k) {
            const float v = std::max(float(p[k]) * scale, 1e-30f);
            const float level = offset + perLog2 * FastLog2(v);
            out[k] = uint8_t(std::clamp(level + 0.5f, 0.0f, 255.0f));
        }
    }
    return column;
}
