#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/LCueSheet.h"
#include "core/LFile.h"

// A disc as image files present it: the tracks with their addresses, and the
// sectors behind them. Made from a CUE sheet with its BINARY files (audio CDs,
// also data tracks), or from an ISO 9660 image (one Mode 1 data track). The
// files stay open while the image lives. Reads are thread-safe (pread).
class LCDImage {
public:
    struct Track {
        uint8_t number = 0;
        bool data = false;
        int32_t start = 0;       // LBA of INDEX 01
        int32_t pregapStart = 0; // LBA where the track's pause (INDEX 00 or PREGAP) begins; = start without one
        int32_t end = 0;         // LBA after the track (the next track's pause, or the lead-out)
        std::string title, performer;
    };

    // Opens a CUE sheet and its files. False with `error` a whole sentence that
    // names the file at fault.
    bool OpenCue(const std::string& path, std::string& error);
    // Opens an ISO image as a one-track data disc.
    bool OpenIso(const std::string& path, std::string& error);

    const std::vector<Track>& Tracks() const { return tracks_; }
    int32_t LeadOut() const { return leadOut_; }
    const std::string& Title() const { return title_; }
    const std::string& Performer() const { return performer_; }
    bool HasAudio() const;
    bool HasData() const;
    // The track holding `lba` (pauses belong to the track they lead into), or null.
    const Track* TrackAt(int32_t lba) const;

    // Reads `count` 2352-byte audio sectors from `lba` (pauses read as
    // silence). False when the range leaves the disc or touches a data sector.
    bool ReadAudio(int32_t lba, int32_t count, uint8_t* out) const;
    // Reads `count` 2048-byte user-data sectors of data tracks from `lba`.
    bool ReadData(int32_t lba, int32_t count, uint8_t* out) const;
    // Whether every sector of [lba, lba + count) is an audio (or a data) sector.
    bool AllOfKind(int32_t lba, int32_t count, bool data) const;

private:
    // A run of sectors stored alike: in one file at `offset` with `sectorBytes`
    // per sector (user data `skip` bytes into each), or silence (file -1).
    struct Extent {
        int32_t lba = 0;
        int32_t sectors = 0;
        int32_t file = -1;
        int64_t offset = 0;
        int32_t sectorBytes = 2352;
        int32_t skip = 0;
        bool data = false;
    };
    const Extent* ExtentAt(int32_t lba) const;
    bool Read(int32_t lba, int32_t count, uint8_t* out, bool data) const;

    std::vector<std::unique_ptr<LFile>> files_;
    std::vector<Extent> extents_;
    std::vector<Track> tracks_;
    int32_t leadOut_ = 0;
    std::string title_, performer_;
};
