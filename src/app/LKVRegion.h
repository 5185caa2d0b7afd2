#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "edit/LCutListAudio.h"

// A named copy of a stretch of a document's audio. The region owns its own cut
// list (sharing segments with the document through the tank), so it stays valid
// when its document is edited or closed. The main window owns the ordered list.
struct LKVRegion {
    // On disk: name (260), path (260), start and end (u32 ms each), packed,
    // little-endian; followed by the region's audio in projects.
    static constexpr size_t kRecordSize = 528;

    std::string name;
    std::string path;  // the document it was taken from, or "Untitled %d"
    uint32_t startMs = 0;
    uint32_t endMs = 0;
    LCutListAudio audio;

    // Whether the name and the path fit their 260-byte fields.
    bool Fits() const;
    void ToRecord(uint8_t* record) const;
    // The record's fields; the audio is left empty (44100 Hz, one channel).
    static LKVRegion FromRecord(const uint8_t* record);

    // The region window's time column: "start-end", each h:mm:ss.cc.
    std::string RangeText() const;
    // The region window's file column: the file name without its folder.
    std::string FileText() const;
};

using LKVRegionList = std::vector<LKVRegion>;

// Whether `name` can be used as a file name in a folder: not empty, not "." or
// "..", and free of "/", "\\" (a separator to the path functions) and control
// characters. Region export and CD tracks name files after regions.
bool LKVIsValidFileName(const std::string& name);
