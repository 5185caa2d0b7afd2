#pragma once
#include <cstdint>
#include <vector>

#include "cd/LCDFile.h"

// The Rock Ridge (RRIP 1.09 over SUSP 1.10) entries of one directory record of
// the ISO tree: POSIX attributes (PX), times (TF), the POSIX name (NM) and a
// link's target (SL); the root's "." record also marks the start of the
// system use area (SP) and names the extension (ER). Each entry is at most 255
// bytes; a long name or target is split over several with the CONTINUE flag.
namespace LCDRockRidge {

enum class Record : uint8_t { Entry, Self, Parent, RootSelf };

// Entries for the record of `node` (Entry), of a folder's "." (Self, RootSelf
// for the root) or ".." (Parent, `node` then the parent folder).
std::vector<std::vector<uint8_t>> Entries(const LCDFile& node, Record record);

// A CE entry: the rest continues `bytes` long at `offset` in sector `sector`.
std::vector<uint8_t> Continuation(uint32_t sector, uint32_t offset, uint32_t bytes);
inline constexpr uint32_t kContinuationBytes = 28;

} // namespace LCDRockRidge
