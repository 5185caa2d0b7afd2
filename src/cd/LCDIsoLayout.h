#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LCDFile.h"

// Lays out an ISO 9660 file system with a Joliet tree (and Rock Ridge entries
// in the ISO tree) for a tree of LCDFile, from start sector S:
//   S+0..15 zeros, S+16 primary and S+17 supplementary (Joliet) volume
//   descriptor, S+18 terminator, then the ISO directories and the Joliet
//   directories, the path tables (ISO L, ISO M, Joliet L, Joliet M, each from a
//   sector boundary), the Rock Ridge continuation area, and the files in tree
//   order, each from a sector boundary.
// Every builder runs twice: a sizing pass that only advances offsets, then a
// writing pass into zeroed areas. The file data is not held here: Head() is
// everything before it, and each file's node says where its data goes.
class LCDIsoLayout {
public:
    struct Options {
        int32_t start = 0;          // S: 0 for an image file, the next writable address on a disc
        std::string label;          // the volume label as the user typed it (UTF-8)
        bool rockRidge = true;
        int64_t now = 0;            // the descriptors' creation time, seconds since 1970
    };

    // Lays out `root` (whose nodes get their locations). False with `error` when
    // the image would not fit into 32-bit sector numbers.
    bool Build(LCDFile& root, const Options& options, std::string& error);

    // The sectors from S up to the first file's data.
    const std::vector<uint8_t>& Head() const { return head_; }
    int32_t HeadSectors() const { return int32_t(head_.size() / kSector); }
    // Sectors of the whole image, from S.
    int32_t ImageSectors() const { return imageSectors_; }
    // The files in the order their data follows the head.
    const std::vector<const LCDFile*>& Files() const { return files_; }

    int32_t IsoDirectorySectors() const { return d1_; }
    int32_t JolietDirectorySectors() const { return d2_; }
    int32_t PathTableSectors() const { return 2 * pIso_ + 2 * pJoliet_; }
    uint32_t IsoPathTableBytes() const { return uint32_t(ptIso_.size()); }

    static constexpr uint32_t kSector = 2048;
    static constexpr int32_t kFirstDirectory = 19;  // after the system area and the three descriptors

private:
    struct Record;
    void Folder(LCDFile& dir, bool write, bool joliet);
    void PutRecord(const Record& r, bool write);
    void Align(uint32_t& offset) const { offset = (offset + kSector - 1) / kSector * kSector; }
    std::vector<uint8_t> PathTable(bool joliet, bool bigEndian) const;
    void Descriptor(uint8_t* sector, bool joliet, const LCDFile& root) const;
    void RootRecord(uint8_t* out34, const LCDFile& root, bool joliet) const;

    Options options_;
    std::vector<LCDFile*> directories_;  // path table order
    std::vector<const LCDFile*> files_;
    std::vector<uint8_t> dirArea_, ceArea_, ptIso_, ptJoliet_, head_;
    uint32_t offset_ = 0;    // in the directory area
    uint32_t ceOffset_ = 0;  // in the continuation area
    int32_t d1_ = 0, d2_ = 0, pIso_ = 0, pJoliet_ = 0, ceSectors_ = 0, imageSectors_ = 0;
};
