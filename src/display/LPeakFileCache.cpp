#include "display/LPeakFileCache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

LPeakFileCache::~LPeakFileCache() { Clear(); }

void LPeakFileCache::Clear()
{
    for (auto& [segment, e] : entries_)
        if (e.map)
            munmap(e.map, size_t(e.size));
    entries_.clear();
}

void LPeakFileCache::Evict()
{
    auto oldest = entries_.begin();
    for (auto it = entries_.begin(); it != entries_.end(); ++it)
        if (it->second.lastUse < oldest->second.lastUse)
            oldest = it;
    if (oldest->second.map)
        munmap(oldest->second.map, size_t(oldest->second.size));
    entries_.erase(oldest);
}

LPeakFileCache::Peaks LPeakFileCache::Get(LSegmentRef segment)
{
    if (segment == kSilentSegment)
        return {};
    auto it = entries_.find(segment);
    if (it == entries_.end()) {
        if (entries_.size() >= kMaxMapped)
            Evict();
        Entry e;
        int fd = ::open(LAudioCutTank::Get().GetGrfFilePath(segment).c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd >= 0 && fstat(fd, &st) == 0 && st.st_size > 0) {
            void* m = mmap(nullptr, size_t(st.st_size), PROT_READ, MAP_SHARED | MAP_POPULATE, fd, 0);
            if (m != MAP_FAILED) {
                e.map = m;
                e.size = st.st_size;
            }
        }
        if (fd >= 0)
            ::close(fd);
        it = entries_.emplace(segment, e).first;
    }
    it->second.lastUse = ++clock_;
    return {static_cast<const uint8_t*>(it->second.map), it->second.size};
}
