#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "core/LSoundSink.h"

class LCDDBInfo;
class LProgressDialog;
class LScsiClock;

// The job that reads a range of CD-DA sectors from a drive into a sink: each
// 2352-byte sector is 588 frames of 16-bit stereo at 44100 Hz, written as
// native samples (value × 16) in pieces of at most 8192 frames.
//
// Fast mode reads as a drive streams best: 13 sectors first, then 27 at a
// time, the next READ CD always in flight while the last one is converted; a
// read that fails or takes longer than 40000 ms ends the rip with what was read
// written. Secure mode reads every block twice and compares the two; a sector
// whose reads differ (or fail) is read again, up to 16 more times, and the data
// most reads agree on is kept; a sector no majority of reads agrees on is
// reported and the rip goes on (as silence where nothing could be read).
//
// A drive's read offset (in frames) is corrected by reading that many frames
// later; frames before the disc's start or after its lead-out are silence.
// The AccurateRip checksums of what was written are taken on the way.
//
// Process() runs on a job's thread (the sink is used from there only) and
// checks Cancel between reads; a cancel keeps what was read.
class LCDROMRipSectors {
public:
    struct Report {
        uint32_t accurateRipV1 = 0;
        uint32_t accurateRipV2 = 0;
        int32_t rereads = 0;             // sectors read again after a disagreement
        std::vector<int32_t> unreadable; // LBAs no majority of reads agreed on
        int32_t readCommands = 0;        // READ CD commands sent
        int64_t frames = 0;              // frames written to the sink
        std::string error;               // why the rip failed
    };
    struct Data {
        uint8_t drive = 0;
        uint32_t firstSector = 0;
        uint32_t endSector = 0;          // exclusive
        LSoundSink sink;                 // 44100 Hz, 2 channels
        std::string trackName;           // for the progress line
        bool secure = false;
        int32_t readOffset = 0;          // frames; positive reads later
        int32_t leadOut = -1;            // the disc's lead-out LBA; -1 reads it when an offset needs it
        bool firstTrack = false;         // the disc's first or last track, for AccurateRip
        bool lastTrack = false;
        LScsiClock* clock = nullptr;     // how the transport waits (tests); null: real time
        Report report;
    };

    // 0 done, 1 cancelled, 2 failed (the drive, a read, or the sink).
    static int32_t Process(LProgressDialog& dialog, Data& data);

    // A request for track `index` of `disc` (an audio track) into `sink`: its
    // sectors without the gap before a data session that follows, whether it
    // is the first or the last audio track, the audio's lead-out.
    static Data ForTrack(const LCDDBInfo& disc, size_t index, LSoundSink sink, bool secure, int32_t readOffset);
    // The user's drive read offset (section "CD", value "ReadOffset"), in
    // frames, kept within kMaxReadOffset either way.
    static int32_t ReadOffsetSetting();

    static constexpr int32_t kFirstSectors = 13;
    static constexpr int32_t kSectors = 27;
    static constexpr int32_t kReadTimeoutMs = 40000;
    static constexpr int32_t kMaxRereads = 16;
    static constexpr int32_t kPieceFrames = 8192;
    static constexpr int32_t kFramesPerSector = 588;
    // Drives read at most a few thousand frames off; more is a typing error.
    static constexpr int32_t kMaxReadOffset = 100000;
    // The sectors between an audio session and a data session after it
    // (lead-out and lead-in): no part of any track, and unreadable.
    static constexpr int32_t kSessionGap = 11400;
};
