#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "cd/LMmcCommands.h"

class LSCSI;
class LProgressDialog;

// What a recorder says it can do (MODE SENSE page 2A), in host order.
struct LCDDriveCapabilities {
    uint8_t writeFlags = 0x01;        // page byte 3: bit 0 writes CD-R, bit 1 CD-RW, bit 2 test write
    bool bufferUnderrunFree = false;  // page byte 4 bit 7: BUFE may be set in page 5
    uint16_t maxWriteSpeed = 0;       // kB/s; 0 when unknown
    bool CanWriteCDR() const { return writeFlags & 0x01; }
    bool CanWriteCDRW() const { return writeFlags & 0x02; }
};

// The first 24 bytes of READ DISC INFORMATION.
struct LCDDiscInformation {
    uint8_t status = 0;           // bits 0-1 disc status (0 blank, 1 appendable, 2 complete), bit 4 erasable
    int32_t lastLeadOut = -1;     // LBA of the last possible lead-out start (bytes 20-23); -1 when not given
    bool Blank() const { return (status & 0x03) == 0; }
    bool Erasable() const { return status & 0x10; }
};

// The first 28 bytes of READ TRACK INFORMATION of the invisible track.
struct LCDTrackInformation {
    bool nwaValid = false;
    int32_t nextWritable = 0;     // bytes 12-15
    int32_t freeBlocks = 0;       // bytes 16-19
};

// Where a disc's capacity was read.
enum class LCDCapacitySource : uint8_t { Atip, DiscInformation, Assumed };

// The MMC commands of a CD recorder, each returning 0 success, 1 cancelled, 2
// failure (the LSCSI's LastError() and Sense() then say why). Commands wait
// through LSCSI with `progress` for Cancel while the recorder is cancellable;
// the commands that finish a track or a disc should not be abandoned halfway, so
// the writer switches that off while it writes. Used on one thread (a job's).
class LCDRecorder {
public:
    // `scsi` is open on the drive; neither is owned.
    LCDRecorder(LSCSI& scsi, LProgressDialog* progress);

    // While false, no command nor wait looks at Cancel.
    void SetCancellable(bool cancellable) { cancellable_ = cancellable; }

    // MODE SENSE(10) of `page`: first the 8-byte header, then min(data length + 2,
    // `maximum`) bytes into `buffer` (header included), 5000 ms each. `got` is
    // the bytes read.
    int32_t ModeSense(uint8_t page, uint8_t* buffer, uint16_t maximum, uint16_t& got);
    // The 52 bytes of page 5 as the drive has it.
    int32_t ReadWriteParameters(uint8_t* page52);
    // MODE SENSE of page 5 (for the medium type), then MODE SELECT(10) of 60
    // bytes: the 8-byte header and `page52`. 40000 ms.
    int32_t SetWriteParameters(const uint8_t* page52);
    // Page 2A, at most 30 bytes.
    int32_t ReadCapabilities(LCDDriveCapabilities& caps);
    // SET CD SPEED with `factor` x 177 kB/s; 0 and 0xFFFF ask for the highest. 5000 ms.
    int32_t SetSpeed(uint16_t factor);
    // READ DISC INFORMATION: 2 bytes for the length, then the whole. 5000 ms each.
    int32_t ReadDiscInformation(LCDDiscInformation& info);
    // READ TRACK INFORMATION of the invisible track: 2 bytes, then the whole. 5000 ms each.
    int32_t ReadLastTrackInformation(LCDTrackInformation& info);
    // READ TOC format 4: the ATIP's lead-in start and last possible lead-out
    // start as LBAs. 5000 ms.
    int32_t ReadAtip(int32_t& leadInStart, int32_t& leadOut);
    // WRITE(10) of `count` sectors of `sectorBytes` at `address`. 120000 ms.
    int32_t WriteSectors(const uint8_t* data, uint8_t count, int32_t address, int32_t sectorBytes);
    // SYNCHRONIZE CACHE (600000 ms); a drive still busy with the last write
    // (02/04/xx) is asked again every 500 ms for up to 600000 ms. Then wait until ready (60000 ms).
    int32_t SynchronizeCache();
    // CLOSE SESSION, immediate (100 ms), then wait until ready (240000 ms).
    int32_t CloseSession();
    // Minimal BLANK, immediate (100 ms), then wait until ready (180000 ms) with
    // the progress line "Erasing CD-RW Disk".
    int32_t Blank();
    // TEST UNIT READY every 500 ms (500 ms each) until it succeeds or `ms` are spent.
    int32_t WaitUntilReady(int32_t ms);
    // SEND CUE SHEET. 60000 ms.
    int32_t SendCueSheet(const std::vector<uint8_t>& sheet);
    // START STOP UNIT. 0 or 2.
    int32_t LoadOrEject(bool load);

    // The disc's capacity in sectors: the ATIP's lead-out start when the drive
    // gives it, else the disc information's last possible lead-out, else 79:59.
    int32_t Capacity(const LCDDiscInformation& info, int32_t& sectors, LCDCapacitySource& source);
    static constexpr int32_t kAssumedCapacity = (79 * 60 + 59) * 75;
    // "from the disc's ATIP", "from the disc information", "assumed": for notes.
    static const char* CapacitySourceText(LCDCapacitySource source);

    LSCSI& Scsi() { return scsi_; }

    static constexpr int32_t kSenseMs = 5000;
    static constexpr int32_t kSelectMs = 40000;
    static constexpr int32_t kWriteMs = 120000;
    static constexpr int32_t kSyncMs = 600000;
    static constexpr int32_t kSyncReadyMs = 60000;
    static constexpr int32_t kImmediateMs = 100;
    static constexpr int32_t kCloseReadyMs = 240000;
    static constexpr int32_t kBlankReadyMs = 180000;
    static constexpr int32_t kPollMs = 500;

private:
    LProgressDialog* Progress() const { return cancellable_ ? progress_ : nullptr; }
    int32_t Run(uint8_t direction, int32_t timeoutMs, uint32_t length, void* buffer, const LCdb& cdb);
    // A reply whose first two bytes give the length of the rest: the header
    // first, then the whole reply into `d` (at least `minimum` bytes, zeros past
    // the reply; `length` the bytes the drive gave).
    int32_t ReadSized(LCdb (*command)(uint16_t), size_t minimum, std::vector<uint8_t>& d, uint16_t& length);
    // Sleeps `ms` through the LSCSI's clock; 1 when cancelled meanwhile, else 0.
    int32_t Pause(int32_t ms);

    LSCSI& scsi_;
    LProgressDialog* progress_;
    bool cancellable_ = true;
};
