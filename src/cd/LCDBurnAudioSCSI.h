#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cd/LCDAudioStream.h"
#include "cd/LCDBurnSettings.h"
#include "cd/LCDDriveCheck.h"
#include "cd/LCDRecorder.h"
#include "cd/LSCSI.h"
#include "core/LSoundSource.h"

class LProgressDialog;

// One track of an audio CD: its title (CD-TEXT, file names) and its audio in
// any rate and channel count.
struct LCDBurnTrack {
    std::string title;
    LSoundSource source;
};

// Writes audio tracks to a CD-R or CD-RW in a recorder, driving it with MMC
// commands: track at once with pauses of two seconds (the default), or with
// "DiscAtOnce" one session without gaps from a cue sheet, with the titles as
// CD-TEXT. Checks the drive and the disc first (LCDDriveCheck), compares the
// tracks with the disc's capacity unless "Overburn" is set, closes the disc and
// ejects it, and with "Verify" reads every track back and compares it with what
// was sent. Runs on a job's worker thread (RunJobOnWorker): it shows nothing itself
// and leaves what there is to say in the data.
class LCDBurnAudioSCSI {
public:
    struct Data {
        std::vector<LCDBurnTrack> tracks;
        std::string albumTitle;    // the disc's CD-TEXT title (disc at once)
        LCDBurnSettings settings;
        LScsiClock* clock = nullptr;  // what the drive's waits go through; null: real time
        // Filled in by Process:
        std::string message;       // with result 2: what went wrong, to show as an error
        std::string report;        // after a burn: what the user should know (verification, test write)
        int32_t capacitySectors = 0;
        LCDCapacitySource capacitySource = LCDCapacitySource::Assumed;
        std::vector<int32_t> trackStarts;  // LBA where each track was written
    };

    // The job: 0 done, 1 cancelled, 2 failed (data.message says why).
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // `source` as a disc holds it: 44100 Hz, two channels, peak limited to
    // +-0x7FFF0, at frame 0.
    static LSoundSource DiscSource(const LSoundSource& source);
    // Sectors of the next WRITE while `remainingFrames` are left:
    // min(27, ceil(remaining / 15876)), so a track ends sector by sector.
    static int32_t ChunkSectors(int64_t remainingFrames);
    // Sectors that `frames` fill, the last one padded.
    static int32_t SectorsOf(int64_t frames) { return int32_t((frames + kCDFrames - 1) / kCDFrames); }
    // Sectors tracks of `frames` take on a disc: each track padded to whole
    // sectors with two-second pauses between them, or all in one run at once.
    static int32_t SectorsNeeded(const std::vector<int32_t>& frames, bool discAtOnce);
    // Write parameters page 5: track at once (write type 1, another session may
    // follow, two-channel audio, raw 2352-byte blocks, a pause of 150 sectors) or
    // session at once (write type 2); the test-write and BUFE bits as given.
    static void WriteParametersPage(uint8_t* page52, bool discAtOnce, bool testWrite, bool bufferUnderrunFree);
    // The cue sheet of a disc at once: the lead-in (CD-TEXT flagged when
    // `cdText`), track 1's pause from LBA -150, each track's INDEX 01 at `starts`,
    // the lead-out at `leadOut`. Track and index numbers BCD, times binary MSF.
    static std::vector<uint8_t> CueSheet(const std::vector<int32_t>& starts, int32_t leadOut, bool cdText);

    static constexpr int32_t kCDFrames = 588;              // frames in a sector
    static constexpr int32_t kChunkFrames = 27 * 588;      // 15876
    static constexpr int32_t kMaxChunkSectors = 27;
    static constexpr int32_t kMaxTracks = 99;
    static constexpr int32_t kReadMs = 30000;

    static constexpr const char* kCapacityMessage =
        "The CD has a capacity of %s minutes and you are trying to write %s minutes. Please insert a larger "
        "capacity CD or try fewer tracks.";

private:
    LCDBurnAudioSCSI(LProgressDialog& dialog, Data& data);
    int32_t Run();
    int32_t TrackAtOnce();
    int32_t DiscAtOnce();
    int32_t WriteCdText();
    // Closes the session (track at once), synchronises, verifies and ejects.
    int32_t Finish(bool closeSession);
    int32_t Verify();
    // Remembers the first failure.
    void Fail(const std::string& message);
    std::string DriveError() const { return scsi_.LastError(); }

    // What was written: a run of sectors from `lba` holding the stream of the
    // tracks from `firstTrack` on.
    struct Extent {
        int32_t lba = 0;
        int32_t sectors = 0;
        size_t firstTrack = 0;
        size_t trackCount = 1;
    };

    LProgressDialog& dialog_;
    Data& data_;
    LSCSI scsi_;
    std::unique_ptr<LCDRecorder> recorder_;
    LCDDriveCheck::Result check_;
    std::vector<LSoundSource> disc_;
    std::vector<int32_t> frames_;
    std::vector<Extent> written_;
    bool failed_ = false;
    int64_t totalFrames_ = 0;
    int64_t doneFrames_ = 0;
};
