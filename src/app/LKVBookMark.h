#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A named time position in an audio file. The bookmarks of every open document
// form one ordered list owned by the main window; each file's own bookmarks are
// also kept beside it in a bookmark file (".kbm").
struct LKVBookMark {
    // On disk: name (260), path (260), position (u32 ms), times visited (u8),
    // last visited (u32 seconds since 1970-01-01 UTC), packed, little-endian.
    static constexpr size_t kRecordSize = 529;

    std::string name;
    std::string path;  // the audio file's full path, or "Untitled %d"
    uint32_t positionMs = 0;
    uint8_t timesVisited = 0;
    uint32_t lastVisited = 0;

    // Whether the name and the path fit their 260-byte fields.
    bool Fits() const;
    // Writes the record; a text that does not fit is left empty (check Fits first).
    void ToRecord(uint8_t* record) const;
    static LKVBookMark FromRecord(const uint8_t* record);

    // The bookmark window's "Time" column: h:mm:ss.cc.
    std::string TimeText() const;
    // The "Last Visited" column in local time: "yyyy-mm-dd hh:mm:ss".
    std::string LastVisitedText() const;
};

using LKVBookMarkList = std::vector<LKVBookMark>;

// Bookmark files and projects count bookmarks in one byte.
inline constexpr size_t kLKVMaxRecords = 255;

// The bookmark file of an audio file: its extension replaced by ".kbm", or
// ".kbm" appended when it has none.
std::string LKVBookMarkFilePath(const std::string& audioPath);

enum class LKVBookMarkRead : uint8_t {
    Missing,  // no bookmark file: not an error
    Loaded,
    Corrupt,  // a version other than 0, or a short file: nothing was added
};
// Reads the bookmark file of `audioPath` and appends its bookmarks to `list`.
// They are filed under `audioPath` (the file may have been moved together with
// its bookmark file), and a bookmark already in the list with the same name and
// path is kept as it is rather than added twice (a file closed and opened again).
LKVBookMarkRead LKVReadBookMarkFile(const std::string& audioPath, LKVBookMarkList& list);

enum class LKVBookMarkWrite : uint8_t {
    Written,
    Deleted,      // the list was empty, so the file was removed
    TooMany,      // more than 255 bookmarks for this file: nothing written
    TextTooLong,  // a name or the path does not fit its field: nothing written
    Failed,       // the file could not be written; an old one stays as it was
};
// Writes the bookmark file of `audioPath` with the bookmarks of that file from
// `list`. An empty list deletes the file; a list holding none for this file
// writes a file with count 0.
LKVBookMarkWrite LKVWriteBookMarkFile(const std::string& audioPath, const LKVBookMarkList& list);
