#pragma once
#include <cstdint>
#include <unordered_map>

#include "edit/LAudioCutTank.h"

// Read-only views of segments' peak files (".grf": per 256 frames and channel a
// positive and a negative peak byte). Each file is mapped once and kept while
// the cache lives, so redrawing a long, heavily edited document costs no system
// calls. The holder must keep the segments referenced (a private cut-list copy
// does). Used by one thread at a time.
class LPeakFileCache {
public:
    // The bytes of one peak file; empty for silence, a missing or an empty file.
    struct Peaks {
        const uint8_t* data = nullptr;
        int64_t size = 0;
    };

    LPeakFileCache() = default;
    ~LPeakFileCache();
    LPeakFileCache(const LPeakFileCache&) = delete;
    LPeakFileCache& operator=(const LPeakFileCache&) = delete;

    // Valid until the next call of Get or Clear.
    Peaks Get(LSegmentRef segment);
    void Clear();

private:
    // Mappings kept at most; the least recently used goes first beyond it, far
    // below the kernel's limit on mappings per process.
    static constexpr size_t kMaxMapped = 4096;

    struct Entry {
        void* map = nullptr;
        int64_t size = 0;
        uint64_t lastUse = 0;
    };
    void Evict();

    std::unordered_map<LSegmentRef, Entry> entries_;
    uint64_t clock_ = 0;
};
