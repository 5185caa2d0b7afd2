#include "display/LKVWaveColumns.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr int32_t kReadChunk = 8192;  // frames per source read
constexpr int64_t kPeakBlock = 256;   // frames per peak entry

// Per byte lane of the entries (2 or 4 bytes each), the largest byte over
// `entries` entries. Whole-document views scan every peak byte of the document
// (25 MB for ten hours of stereo), so this runs 64 bytes a step; a step starts
// at an entry start, so lane j of a vector is byte j % entryBytes.
void LaneMax(const uint8_t* p, int64_t entries, int32_t entryBytes, uint8_t out[4])
{
    const int64_t bytes = entries * entryBytes;
    int64_t i = 0;
    out[0] = out[1] = out[2] = out[3] = 0;
#ifdef __SSE2__
    auto load = [p](int64_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + at)); };
    __m128i a = _mm_setzero_si128(), b = a, c = a, d = a;
    for (; i + 64 <= bytes; i += 64) {
        a = _mm_max_epu8(a, load(i));
        b = _mm_max_epu8(b, load(i + 16));
        c = _mm_max_epu8(c, load(i + 32));
        d = _mm_max_epu8(d, load(i + 48));
    }
    for (; i + 16 <= bytes; i += 16)
        a = _mm_max_epu8(a, load(i));
    alignas(16) uint8_t lanes[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(lanes), _mm_max_epu8(_mm_max_epu8(a, b), _mm_max_epu8(c, d)));
    for (int j = 0; j < 16; ++j)
        out[j % entryBytes] = std::max(out[j % entryBytes], lanes[j]);
#endif
    for (; i < bytes; ++i)
        out[i % entryBytes] = std::max(out[i % entryBytes], p[i]);
}

uint8_t Column(int64_t magnitude, int shift) { return uint8_t(std::min<int64_t>(magnitude >> shift, 255)); }

struct PosNegFold {
    int32_t channels, shift;
    uint8_t *upper, *lower;
    int32_t hi = 0, lo = 0;
    void Begin() { hi = lo = 0; }
    void Add(const int32_t* v, int32_t frames)
    {
        const int32_t n = frames * channels;
        int32_t h = hi, l = lo;
        for (int32_t i = 0; i < n; ++i) {
            h = std::max(h, v[i]);
            l = std::min(l, v[i]);
        }
        hi = h, lo = l;
    }
    void End(int32_t x)
    {
        upper[x] = Column(hi, shift);
        lower[x] = Column(-int64_t(lo), shift);
    }
};

struct LeftRightFold {
    int32_t shift;
    uint8_t *upper, *lower;
    int32_t hl = 0, ll = 0, hr = 0, lr = 0;
    void Begin() { hl = ll = hr = lr = 0; }
    void Add(const int32_t* v, int32_t frames)
    {
        int32_t a = hl, b = ll, c = hr, d = lr;
        for (int32_t f = 0; f < frames; ++f) {
            a = std::max(a, v[2 * f]);
            b = std::min(b, v[2 * f]);
            c = std::max(c, v[2 * f + 1]);
            d = std::min(d, v[2 * f + 1]);
        }
        hl = a, ll = b, hr = c, lr = d;
    }
    void End(int32_t x)
    {
        upper[x] = Column(std::max<int64_t>(hl, -int64_t(ll)), shift);
        lower[x] = Column(std::max<int64_t>(hr, -int64_t(lr)), shift);
    }
};

struct LanesFold : LeftRightFold {
    void End(int32_t x)
    {
        upper[x] = Column(hl, shift);
        lower[x] = Column(-int64_t(ll), shift);
        upper[kWaveLaneStride + x] = Column(hr, shift);
        lower[kWaveLaneStride + x] = Column(-int64_t(lr), shift);
    }
};

} // namespace

LKVWaveColumns::LKVWaveColumns(const LCutListAudio& list)
    : list_(list), channels_(list.channels == 2 ? 2 : 1), source_(list_.OpenSource()),
      buffer_(size_t(kReadChunk) * size_t(channels_))
{
    cutStarts_.reserve(list_.Cuts().size() + 1);
    int64_t acc = 0;
    for (const LCut& cut : list_.Cuts()) {
        cutStarts_.push_back(acc);
        acc += std::max(cut.length, 0);
    }
    cutStarts_.push_back(acc);
}

size_t LKVWaveColumns::CutAt(int64_t frame) const
{
    return size_t(std::upper_bound(cutStarts_.begin() + 1, cutStarts_.end(), frame) - (cutStarts_.begin() + 1));
}

// Reads the frames of the columns in order, in chunks of at most 8192 frames
// that may span several columns, and hands each column its frames.
template <class Fold>
bool LKVWaveColumns::WalkAudio(const LWaveMapping& map, int32_t from, int32_t to, const std::atomic<bool>* stop,
                               Fold& fold)
{
    int64_t pos = map.PixelToFrame(from);
    const int64_t last = map.PixelToFrame(to);
    source_->Seek(int32_t(pos));
    int32_t available = 0;
    const int32_t* p = buffer_.data();
    for (int32_t x = from; x < to; ++x) {
        int64_t n = int64_t(map.PixelToFrame(x + 1)) - pos;
        fold.Begin();
        while (n > 0) {
            if (available == 0) {
                available = int32_t(std::min<int64_t>(kReadChunk, last - pos));
                source_->Read(buffer_.data(), available);
                p = buffer_.data();
            }
            int32_t k = int32_t(std::min<int64_t>(n, available));
            fold.Add(p, k);
            p += size_t(k) * size_t(channels_);
            available -= k;
            n -= k;
            pos += k;
        }
        fold.End(x);
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
    }
    return true;
}

bool LKVWaveColumns::CreateWaveShortPosNeg(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom,
                                           uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop)
{
    PosNegFold fold{channels_, verticalZoom ? 8 : 11, upper, lower};
    return WalkAudio(map, from, to, stop, fold);
}

bool LKVWaveColumns::CreateWaveShortLeftRight(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom,
                                              uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop)
{
    if (channels_ != 2)
        return CreateWaveShortPosNeg(map, from, to, verticalZoom, upper, lower, stop);
    LeftRightFold fold{verticalZoom ? 8 : 11, upper, lower};
    return WalkAudio(map, from, to, stop, fold);
}

bool LKVWaveColumns::CreateWaveShortLanes(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom,
                                          uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop)
{
    if (channels_ != 2)
        return CreateWaveShortPosNeg(map, from, to, verticalZoom, upper, lower, stop);
    LanesFold fold{{verticalZoom ? 8 : 11, upper, lower}};
    return WalkAudio(map, from, to, stop, fold);
}

bool LKVWaveColumns::CreateWaveLong(const LWaveMapping& map, int32_t from, int32_t to, int32_t mode,
                                    bool verticalZoom, uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop)
{
    if (channels_ != 2)
        mode = kWaveModePosNeg;
    const int32_t entryBytes = channels_ * 2;
    // The gain's scale k: 256 at unity (a peak byte shown as it is), 2048 magnified.
    const int gainShift = verticalZoom ? 13 : 16;
    const std::vector<LCut>& cuts = list_.Cuts();

    int64_t pos = map.PixelToFrame(from);
    size_t index = CutAt(pos);
    LSegmentRef mapped = kSilentSegment;
    LPeakFileCache::Peaks peaks;
    for (int32_t x = from; x < to; ++x) {
        const int64_t end = map.PixelToFrame(x + 1);
        // Largest peak byte times its cut's scale, so that cuts of different
        // gains within one column each count at their own level.
        int64_t top = 0, bottom = 0, top2 = 0, bottom2 = 0;
        while (pos < end) {
            if (pos < 0) {
                pos = std::min<int64_t>(end, 0);
                continue;
            }
            if (index >= cuts.size()) {
                pos = end;
                break;
            }
            const LCut& cut = cuts[index];
            const int64_t cutStart = cutStarts_[index], cutEnd = cutStarts_[index + 1];
            if (pos >= cutEnd) {
                ++index;
                continue;
            }
            const int64_t chunkEnd = std::min(end, cutEnd);
            const int64_t k = std::max(cut.gain >> gainShift, 0);
            if (!cut.IsSilent() && k > 0) {
                if (cut.Segment() != mapped) {
                    peaks = peaks_.Get(cut.Segment());
                    mapped = cut.Segment();
                }
                // Blocks whose first frame within the cut lies in [oa, ob): the
                // block holding the cut's first frame belongs to offset 0.
                const int64_t oa = pos - cutStart, ob = chunkEnd - cutStart;
                const int64_t first = oa == 0 ? cut.start / kPeakBlock : (cut.start + oa + kPeakBlock - 1) / kPeakBlock;
                const int64_t stop1 = std::min((cut.start + ob + kPeakBlock - 1) / kPeakBlock, peaks.size / entryBytes);
                if (first < stop1) {
                    uint8_t m[4];
                    LaneMax(peaks.data + first * entryBytes, stop1 - first, entryBytes, m);
                    int32_t t, b;
                    if (channels_ == 1 || mode == kWaveModeLanes) {
                        t = m[0];
                        b = m[1];
                    } else if (mode == kWaveModePosNeg) {
                        t = std::max(m[0], m[2]);
                        b = std::max(m[1], m[3]);
                    } else {
                        t = std::max(m[0], m[1]);
                        b = std::max(m[2], m[3]);
                    }
                    top = std::max(top, t * k);
                    bottom = std::max(bottom, b * k);
                    top2 = std::max<int64_t>(top2, m[2] * k);
                    bottom2 = std::max<int64_t>(bottom2, m[3] * k);
                }
            }
            pos = chunkEnd;
            if (pos == cutEnd)
                ++index;
        }
        upper[x] = Column(top, 8);
        lower[x] = Column(bottom, 8);
        if (mode == kWaveModeLanes) {
            upper[kWaveLaneStride + x] = Column(top2, 8);
            lower[kWaveLaneStride + x] = Column(bottom2, 8);
        }
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
    }
    return true;
}

bool LKVWaveColumns::Compute(const LWaveMapping& map, int32_t from, int32_t to, int32_t mode, bool verticalZoom,
                             uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop)
{
    if (int64_t(map.ViewLength()) <= int64_t(map.Width()) * kWaveAudioFramesPerColumn) {
        if (mode == kWaveModeLeftRight)
            return CreateWaveShortLeftRight(map, from, to, verticalZoom, upper, lower, stop);
        if (mode == kWaveModeLanes)
            return CreateWaveShortLanes(map, from, to, verticalZoom, upper, lower, stop);
        return CreateWaveShortPosNeg(map, from, to, verticalZoom, upper, lower, stop);
    }
    return CreateWaveLong(map, from, to, mode, verticalZoom, upper, lower, stop);
}
