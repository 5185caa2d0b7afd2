#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/LSoundSource.h"
#include "display/LWaveMapping.h"

// Computes the one column array of the transport dialog's wave strip (symmetric
// about the centre, 0..255 of the half height) from a source its owner gives it:
// per column the peak magnitude over all channels >> 10. Always from the audio,
// read in chunks of at most 8192 frames. Used by one thread at a time.
class LWaveColumns {
public:
    explicit LWaveColumns(LSoundSource source);

    // Columns [from, to) of `map` into column[x]; checks `stop` (may be null)
    // after every column and returns false when it stopped early.
    bool Compute(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* column, const std::atomic<bool>* stop);

private:
    LSoundSource source_;
    std::vector<int32_t> buffer_;
};
