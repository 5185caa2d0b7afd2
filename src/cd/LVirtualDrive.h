#pragma once
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "cd/LCDImage.h"
#include "cd/LCDText.h"
#include "cd/LScsiTransport.h"
#include "core/LFile.h"

// Faults a virtual drive can be told to show, by a test or by a user checking
// what a program does with a bad drive.
struct LVirtualDriveFaults {
    int32_t busyCommands = 0;  // the next N commands answer BUSY
    std::vector<std::pair<int32_t, int32_t>> mediumErrors;  // LBA ranges (first, last) that read as 03/11/00
    int32_t hangAt = kNoHang;  // a read touching this LBA never completes; kHangEveryRead: every read
    bool trayOpen = false;     // 02/3A/02 until a START STOP UNIT loads it
    bool noDisc = false;       // 02/3A/00 with the tray closed
    // Audio sectors (LBA ranges) that read wrong: "flaky" ones once, on their
    // first read, then right; "noisy" ones always, different data every time.
    // The read itself succeeds, as a drive's does when it misreads a scratch.
    std::vector<std::pair<int32_t, int32_t>> flakySectors;
    std::vector<std::pair<int32_t, int32_t>> noisySectors;

    // A recorder's troubles.
    bool noPage5 = false;        // no write parameters page: a drive that only reads
    bool noCapabilities = false; // no capabilities page 2A
    uint8_t writes = kWritesCdrCdrw;  // what page 2A says it writes (bit 0 CD-R, bit 1 CD-RW)
    uint16_t maxWriteSpeed = 0;  // the highest write speed it reports in kB/s; 0: 8467 (48x)
    int32_t syncBusy = 0;        // the next N SYNCHRONIZE CACHE answer 02/04/08 (long write in progress)
    int32_t writeErrorAt = kNone;  // a WRITE touching this LBA fails with 03/0C/00
    int32_t corruptAt = kNone;   // the sector at this LBA is stored with one byte changed, silently
    bool blankFails = false;     // BLANK fails with 03/51/00 (erase failure)
    int32_t capacity = 0;        // the disc's sectors; 0: 74 or 80 minutes as its kind says
    bool noAtip = false;         // READ TOC format 4 (ATIP) is refused

    static constexpr int32_t kNoHang = -1;
    static constexpr int32_t kHangEveryRead = -2;
    static constexpr int32_t kNone = INT32_MIN;  // negative LBAs are the lead-in and the first pause
    static constexpr uint8_t kWritesCdrCdrw = 0x03;
};

// An emulated MMC CD recorder holding one disc made of files:
//   a ".cue" path      a pressed audio CD (CUE sheet and its BINARY files),
//   an ".iso" path     a pressed data CD (one Mode 1 track),
//   "cdr:FOLDER"       a CD-R of 80 minutes, "cdr74:FOLDER" one of 74 minutes,
//   "cdrw:FOLDER"      a CD-RW of 80 minutes,
// the recordable ones blank until something is written. What is written goes
// into FOLDER: audio as "disc.cue" with "disc.bin" (2352-byte little-endian
// CD-DA sectors from LBA 0, the pauses between track-at-once tracks as silence
// and INDEX 00), a data track as "disc.iso"; "disc.state" keeps whether the
// session is still open or closed, so a disc keeps its state between runs.
// Faults may follow the entry after "?", joined by "&": "busy=N", "bad=A-B"
// (or "bad=A"), "hang" or "hang=LBA", "tray=open", "nodisc", "flaky=A-B",
// "noisy=A-B", and for a recorder "nopage5", "nocaps", "writes=cdr" or
// "writes=none", "maxwrite=KBS", "syncbusy=N", "writeerror=LBA", "corrupt=LBA",
// "blankerror", "capacity=SECTORS" and "noatip".
//
// It answers INQUIRY, TEST UNIT READY, START STOP UNIT, READ TOC/PMA/ATIP
// (formats 0 and 4, LBA and MSF), READ CD (2352-byte CD-DA), READ(10) (data
// sectors), MODE SENSE(10) of pages 05 and 2A, MODE SELECT(10) of page 05, SET CD
// SPEED, READ DISC INFORMATION, READ TRACK INFORMATION, WRITE(10), SEND CUE SHEET,
// SYNCHRONIZE CACHE, CLOSE TRACK/SESSION and BLANK as a drive does: data, or
// CHECK CONDITION with fixed-format sense. Track at once: each WRITE(10) must
// start at the next writable address; SYNCHRONIZE CACHE (or CLOSE TRACK) ends
// the track, and the next one starts after a pause of page 05's audio pause
// length. Session at once: SEND CUE SHEET (track and index numbers in BCD,
// times in binary MSF, 00:00:00 = LBA -150) fixes the layout; the writes run
// from LBA -150 to the lead-out, CD-TEXT goes before them into the lead-in
// (LBA from the ATIP lead-in start up to -151) as 96-byte blocks (LCDText),
// and SYNCHRONIZE CACHE closes the disc; the titles become TITLE and PERFORMER
// lines of disc.cue. With page 05's test-write bit, everything is checked and
// nothing is written. Thread-safe; commands complete at once, except a read
// told to hang.
class LVirtualDrive : public std::enable_shared_from_this<LVirtualDrive> {
public:
    enum class Kind : uint8_t { PressedCue, PressedIso, CDR80, CDR74, CDRW };

    // Splits an entry into its kind, path and faults. False with `error` when
    // it is none of the forms above.
    static bool ParseEntry(const std::string& entry, Kind& kind, std::string& path, LVirtualDriveFaults& faults,
                           std::string& error);
    // Opens the drive an entry describes. Null with `error` a sentence naming
    // the file at fault.
    static std::shared_ptr<LVirtualDrive> Open(const std::string& entry, std::string& error);

    // A transport onto this drive for LSCSI.
    std::shared_ptr<LScsiTransport> Connect();

    enum class Outcome : uint8_t { Done, Hang };
    // Runs one command: fills its outcome (and data) and returns Done, or
    // returns Hang for a read that never completes (the command is left alone).
    Outcome Execute(LScsiCommand& command);

    // Faults, switched on and off while the drive is in use.
    void SetBusy(int32_t commands);
    void AddMediumError(int32_t first, int32_t last);
    void SetHang(int32_t lba);
    void SetTrayOpen(bool open);
    void SetNoDisc(bool none);
    void AddFlakySectors(int32_t first, int32_t last);
    void AddNoisySectors(int32_t first, int32_t last);
    // Replaces every fault at once.
    void SetFaults(const LVirtualDriveFaults& faults);
    LVirtualDriveFaults Faults() const;
    // Commands answered so far (BUSY answers included).
    int32_t CommandCount() const;

    const std::string& Entry() const { return entry_; }
    Kind GetKind() const { return kind_; }
    const std::string& Path() const { return path_; }
    bool Recordable() const { return kind_ != Kind::PressedCue && kind_ != Kind::PressedIso; }

    static constexpr const char* kVendor = "KELVANE";
    static constexpr const char* kProduct = "Virtual CD-RW";
    static constexpr const char* kRevision = "1.0";
    // Highest write speed in kB/s (48x).
    static constexpr uint16_t kMaxWriteSpeed = 8467;
    static constexpr uint16_t kMaxReadSpeed = 8467;
    // The ATIP lead-in start, 97:26:66, as an LBA.
    static constexpr int32_t kLeadInStart = -11634;

private:
    enum class Status : uint8_t { Blank, Open, Closed };
    struct Written {
        int32_t pregapStart = 0, start = 0, end = 0;
        bool data = false;
    };
    // A session-at-once layout from SEND CUE SHEET.
    struct DaoTrack {
        uint8_t number = 0;
        bool data = false;
        int32_t pregapStart = 0, start = 0;
    };

    LVirtualDrive() = default;
    // User sectors of a recordable disc (74 or 80 minutes, or the fault's). Lock held.
    int32_t Capacity() const;
    // The highest write speed reported, in kB/s. Lock held.
    uint16_t MaxWriteSpeed() const { return faults_.maxWriteSpeed ? faults_.maxWriteSpeed : kMaxWriteSpeed; }
    bool Load(std::string& error);
    bool Reload();
    bool MediumPresent() const { return !faults_.trayOpen && !faults_.noDisc; }
    // Answers for the medium commands; false when the command was answered
    // (no disc, becoming ready).
    bool NeedMedium(LScsiCommand& c);

    void Inquiry(LScsiCommand& c);
    void StartStop(LScsiCommand& c);
    void ReadToc(LScsiCommand& c);
    Outcome ReadCd(LScsiCommand& c);
    Outcome Read10(LScsiCommand& c);
    bool ReadFaults(LScsiCommand& c, int32_t lba, int32_t count, Outcome& outcome);
    // Spoils the sectors of a READ CD's data that the faults say read wrong.
    void Misread(uint8_t* data, int32_t lba, int32_t count);
    void ModeSense(LScsiCommand& c);
    void ModeSelect(LScsiCommand& c);
    void SetSpeed(LScsiCommand& c);
    void DiscInformation(LScsiCommand& c);
    void TrackInformation(LScsiCommand& c);
    void Write10(LScsiCommand& c);
    void WriteLeadIn(LScsiCommand& c, int32_t lba, int32_t count);
    void SendCueSheet(LScsiCommand& c);
    void SynchronizeCache(LScsiCommand& c);
    void CloseTrackSession(LScsiCommand& c);
    void Blank(LScsiCommand& c);

    bool CloseTrack();
    bool CloseSession();
    bool SaveAudio(const std::vector<Written>& tracks, const LCDText* text);
    bool SaveState(Status status);
    void ResetWriting();
    uint8_t LastTrackNumber() const;
    int32_t NextWritable() const;

    static void Answer(LScsiCommand& c, const uint8_t* data, uint32_t bytes);
    static void Fail(LScsiCommand& c, uint8_t key, uint8_t asc, uint8_t ascq, int32_t info = -1);

    mutable std::mutex mutex_;
    std::string entry_;
    std::string path_;
    Kind kind_ = Kind::PressedCue;
    LVirtualDriveFaults faults_;
    int32_t commands_ = 0;
    int32_t becomingReady_ = 0;
    std::vector<int32_t> misreadOnce_;  // flaky sectors already read wrong
    uint32_t misreads_ = 0;             // makes every noisy read different

    std::unique_ptr<LCDImage> image_;  // what can be read
    Status status_ = Status::Blank;
    std::vector<Written> written_;     // closed tracks of a recordable disc

    // Writing.
    uint8_t page5_[52] = {};
    uint16_t writeSpeed_ = kMaxWriteSpeed;
    uint16_t readSpeed_ = kMaxReadSpeed;
    bool simulating_ = false;          // a test write is running: nothing is stored
    int32_t nwa_ = 0;                  // next writable address
    bool trackOpen_ = false;
    int32_t trackStart_ = 0;
    int32_t trackPregapStart_ = 0;
    bool trackData_ = false;
    LFile file_;                       // disc.bin or disc.iso while writing
    std::vector<DaoTrack> dao_;        // session at once
    int32_t daoLeadOut_ = 0;
    bool daoText_ = false;
    std::vector<LCDText::Pack> leadInPacks_;
};
