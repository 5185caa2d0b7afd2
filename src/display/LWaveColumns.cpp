#include "display/LWaveColumns.h"

#include <algorithm>

namespace {
constexpr int32_t kReadChunk = 8192;
}

LWaveColumns::LWaveColumns(LSoundSource source)
    : source_(std::move(source)), buffer_(size_t(kReadChunk) * std::max<size_t>(source_->GetChannels(), 1))
{
}

bool LWaveColumns::Compute(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* column,
                           const std::atomic<bool>* stop)
{
    const int32_t channels = std::max<int32_t>(source_->GetChannels(), 1);
    int64_t pos = map.PixelToFrame(from);
    const int64_t last = map.PixelToFrame(to);
    source_->Seek(int32_t(pos));
    int32_t available = 0;
    const int32_t* p = buffer_.data();
    for (int32_t x = from; x < to; ++x) {
        int64_t n = int64_t(map.PixelToFrame(x + 1)) - pos;
        int32_t hi = 0, lo = 0;
        while (n > 0) {
            if (available == 0) {
                available = int32_t(std::min<int64_t>(kReadChunk, last - pos));
                source_->Read(buffer_.data(), available);
                p = buffer_.data();
            }
            int32_t k = int32_t(std::min<int64_t>(n, available));
            const int32_t values = k * channels;
            for (int32_t i = 0; i < values; ++i) {
                hi = std::max(hi, p[i]);
                lo = std::min(lo, p[i]);
            }
            p += values;
            available -= k;
            n -= k;
            pos += k;
        }
        column[x] = uint8_t(std::min<int64_t>(std::max<int64_t>(hi, -int64_t(lo)) >> 10, 255));
        if (stop && stop->load(std::memory_order_relaxed))
            return false;
    }
    return true;
}
