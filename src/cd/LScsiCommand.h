#pragma once
#include <cstdint>
#include <string>

#include "core/LEvent.h"

// Data direction of a command: 0 data from the device (a read), 1 data to the
// device (a write). A command with no data passes length 0 and either direction.
enum : uint8_t { kScsiRead = 0, kScsiWrite = 1 };

// SCSI status bytes the transport and its callers look at.
enum : uint8_t { kScsiGood = 0x00, kScsiCheckCondition = 0x02, kScsiBusy = 0x08 };

// Sense key, additional sense code and its qualifier of a CHECK CONDITION,
// taken from fixed-format (0x70/0x71) or descriptor-format (0x72/0x73) sense data.
struct LScsiSense {
    uint8_t key = 0;
    uint8_t asc = 0;
    uint8_t ascq = 0;
    bool IsZero() const { return key == 0 && asc == 0 && ascq == 0; }
    // "02/3A/00": how a drive's answer is written in messages and logs.
    std::string Text() const;
    // What the sense means in words ("no disc in the drive"), or empty.
    std::string Meaning() const;
    static LScsiSense From(const uint8_t* sense, uint32_t length);
};

// One command in flight and its outcome. The transport fills the outcome and
// then sets `done`; until then the command and its buffer belong to it.
struct LScsiCommand {
    uint8_t cdb[16] = {};
    uint8_t cdbLength = 0;
    uint8_t direction = kScsiRead;
    uint8_t* buffer = nullptr;   // `length` bytes, owned by the caller
    uint32_t length = 0;
    uint32_t timeoutMs = 200000; // what the device itself may take before it is aborted

    // Outcome.
    uint8_t status = kScsiGood;  // the SCSI status byte
    uint8_t sense[32] = {};      // fixed-format sense data when status is CHECK CONDITION
    uint8_t senseLength = 0;
    // The command did not reach the device or the host adapter reported a fault
    // (no status from the drive at all); `error` says what happened.
    bool transportFailed = false;
    std::string error;
    LEvent done;

    // Clears the outcome before the command is issued again.
    void ResetOutcome();
};

// Fixed-format sense data (0x70, current error) for `sense`, 18 bytes, as a drive returns it.
void LScsiFillSense(uint8_t* out18, const LScsiSense& sense);
