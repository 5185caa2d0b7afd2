#pragma once
#include <cstdint>
#include <string>

// How audio CDs are written: the settings section "CDRecorder". The first five
// are the recorder's classic settings; the rest are ours.
struct LCDBurnSettings {
    bool internal = true;       // "Internal": drive the recorder; off saves the tracks as WAV files and a CUE sheet
    bool eraseCDRW = true;      // "EraseCDRW": blank a CD-RW that is not blank
    bool overburn = false;      // "Overburn": no capacity check
    uint16_t speed = kMaxSpeed; // "Speed": write speed factor (x 177 kB/s); kMaxSpeed = the drive's highest
    uint8_t drive = 0;          // "CDDrive": index into LCDDrives
    bool discAtOnce = false;    // "DiscAtOnce": one session without gaps, cue sheet and CD-TEXT
    bool simulate = false;      // "Simulate": the drive's test write, nothing is burned
    bool verify = false;        // "Verify": read the tracks back and compare them with what was sent
    std::string trackFolder;    // "TrackFolder": where the tracks go with "Internal" off
    bool rockRidge = true;      // "RockRidge": data CDs carry POSIX names, permissions, times and links

    static constexpr uint16_t kMaxSpeed = 0xFFFF;
    static constexpr const char* kSection = "CDRecorder";

    // The stored settings (defaults where none are stored).
    static LCDBurnSettings Read();
    // Stores them; false when the settings file could not be written.
    bool Write() const;
    // "[MAX]" for the highest speed, else "%dx".
    static std::string SpeedText(uint16_t speed);
};
