#pragma once
#include <cstdint>

// The command blocks the CD processes send, built in one place so that each is
// checked byte for byte once. Addresses and lengths are big-endian.
struct LCdb {
    uint8_t bytes[12] = {};
    uint8_t length = 0;
};

class LMmcCommands {
public:
    // TEST UNIT READY: 00 00 00 00 00 00.
    static LCdb TestUnitReady();
    // START STOP UNIT: 1B 00 00 00 03 00 loads, 1B 00 00 00 02 00 ejects.
    static LCdb StartStop(bool load);
    // INQUIRY of `allocation` bytes: 12 00 00 00 nn 00.
    static LCdb Inquiry(uint8_t allocation);
    // READ TOC, LBA addresses, format 0, from track 1, 2048 bytes: 43 00 00 00 00 00 01 08 00 00.
    static LCdb ReadToc();
    // READ TOC format 4 (ATIP), MSF: 43 02 04 00 00 00 00 hh ll 00.
    static LCdb ReadAtip(uint16_t allocation);
    // READ CD of `count` 2352-byte CD-DA sectors from `lba`: BE 00 lba(4) 00 00 count F0 00 00.
    static LCdb ReadCd(uint32_t lba, uint8_t count);
    // READ(10) of `count` 2048-byte data sectors: 28 00 lba(4) 00 hh ll 00.
    static LCdb Read10(uint32_t lba, uint16_t count);
    // MODE SENSE(10) of `page`, `allocation` bytes: 5A 00 pp 00 00 00 00 hh ll 00.
    static LCdb ModeSense(uint8_t page, uint16_t allocation);
    // MODE SELECT(10), page format, `length` bytes of parameters: 55 10 00 00 00 00 00 hh ll 00.
    static LCdb ModeSelect(uint16_t length);
    // SET CD SPEED, read speed maximum: BB 00 FF FF ww ww 00 00 00 00 00 00
    // (write speed in kB/s, 0xFFFF the highest).
    static LCdb SetSpeed(uint16_t writeKBs);
    // READ DISC INFORMATION of `allocation` bytes: 51 00 00 00 00 00 00 hh ll 00.
    static LCdb ReadDiscInformation(uint16_t allocation);
    // READ TRACK INFORMATION of the invisible track: 52 01 00 00 00 FF 00 hh ll 00.
    static LCdb ReadLastTrackInformation(uint16_t allocation);
    // WRITE(10) of `count` sectors at `lba`: 2A 00 lba(4) 00 00 count 00.
    static LCdb Write10(uint32_t lba, uint8_t count);
    // SYNCHRONIZE CACHE: 35 00 00 00 00 00 00 00 00 00.
    static LCdb SynchronizeCache();
    // CLOSE TRACK/SESSION, immediate, close session: 5B 01 02 00 00 00 00 00 00 00.
    static LCdb CloseSession();
    // BLANK, immediate, minimal: A1 11 00 00 00 00 00 00 00 00 00 00.
    static LCdb BlankMinimal();
    // SEND CUE SHEET of `length` bytes: 5D 00 00 00 00 00 ll ll ll 00.
    static LCdb SendCueSheet(uint32_t length);
};
