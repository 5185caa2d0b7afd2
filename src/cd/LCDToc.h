#pragma once
#include <cstdint>
#include <string>
#include <vector>

class LSCSI;
class LProgressDialog;

// A disc's table of contents as READ TOC (format 0, LBA) gives it.
struct LCDToc {
    int32_t count = 0;              // tracks
    uint8_t firstTrack = 1;         // number of the first track
    std::vector<int32_t> starts;    // count + 1 LBAs, the last the lead-out
    std::vector<uint8_t> control;   // count + 1 control nibbles (bit 2: data track)

    bool IsData(int32_t track) const { return size_t(track) < control.size() && (control[size_t(track)] & 0x04); }
    // Sectors of track i (0-based): the next start minus this one, 0 when negative.
    int32_t Sectors(int32_t track) const;

    // Reads it from the open drive: READ TOC 43 00 00 00 00 00 01 08 00 00 into
    // 2048 bytes, 20000 ms. Track count = (data length - 10) / 8, at most 255;
    // a negative count fails. 0 done, 1 cancelled, 2 failed (LastError() of
    // `scsi` says why).
    static int32_t Read(LSCSI& scsi, LCDToc& toc, LProgressDialog* progress = nullptr);
    // Reads it from the index-th drive.
    static int32_t Read(uint8_t drive, LCDToc& toc, std::string& error, LProgressDialog* progress = nullptr);

    static constexpr int32_t kTimeoutMs = 20000;
};
