#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "app/LKVBookMark.h"
#include "app/LKVRegion.h"
#include "edit/LKVFile.h"

// What the working folder keeps of one open document so that it can be had
// back after a crash: path, untitled number, format, cut list, cursor,
// selection, view, and the bookmarks and regions that refer to it. The audio is
// named by segment numbers only, so a record is small and costs no audio I/O.
//
// On disk, little-endian: "KVRC", version 1, then the fields in the order of
// the encoder's calls, and an FNV-1a checksum of everything before it.
struct LKVRecoveryRecord {
    struct Cut {
        LSegmentRef segment = kSilentSegment;
        int32_t length = 0;
        int32_t gain = 0;
        int32_t start = 0;
    };
    struct Region {
        std::string name;
        std::string path;
        uint32_t startMs = 0;
        uint32_t endMs = 0;
        int32_t sampleRate = 44100;
        uint8_t channels = 1;
        std::vector<Cut> cuts;
    };

    std::string path;
    int32_t untitledNumber = 0;
    bool modified = false;
    uint8_t verticalZoom = 0;
    uint8_t displayMode = 0;
    int32_t sampleRate = 44100;
    uint8_t channels = 1;
    LKVFile::Positions pos;
    std::vector<Cut> cuts;
    LKVBookMarkList bookmarks;
    std::vector<Region> regions;

    // Every segment reference the record holds, one per cut (regions included).
    std::vector<LSegmentRef> Segments() const;
    // Reads a whole record; false for anything damaged or of another version.
    static bool Decode(const std::vector<uint8_t>& bytes, LKVRecoveryRecord& out);
};

// Builds a record's bytes from the live objects, without copying any cut list.
// The cut list may come in several runs (a recording's record is the document
// with the take in the middle); `CutCount` must announce their total first.
class LKVRecoveryEncoder {
public:
    // The document's own fields (its audio's format, not its cuts).
    void Document(const LKVFile& doc);
    void CutCount(size_t count);
    void Cuts(const std::vector<LCut>& cuts);
    void AddCut(LSegmentRef segment, int32_t length, int32_t gain, int32_t start);
    // The bookmarks and regions filed under the document's path or title.
    void Marks(const LKVFile& doc, const LKVBookMarkList& bookmarks, const LKVRegionList& regions);
    // Appends the checksum and hands the bytes over; the encoder starts afresh.
    std::vector<uint8_t> Finish();

    // The bytes so far, for a caller that assembles a record from parts.
    std::vector<uint8_t>& Bytes() { return bytes_; }
    // Appends the checksum to finished parts.
    static void Seal(std::vector<uint8_t>& bytes);

private:
    void U8(uint8_t v) { bytes_.push_back(v); }
    void U32(uint32_t v);
    void Text(const std::string& s);
    std::vector<uint8_t> bytes_;
};
