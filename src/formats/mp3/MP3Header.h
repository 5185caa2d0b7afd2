#pragma once
#include <cstdint>

class MP3ByteReader;

// One parsed MPEG audio Layer III frame header.
struct MP3Header {
    uint8_t version = 0;          // 0 MPEG-1, 1 MPEG-2, 2 MPEG-2.5
    uint8_t noCrc = 1;            // 1 when no CRC follows the header
    int32_t bitRate = 0;          // bits per second
    uint8_t sampleRateIndex = 0;  // 0-2
    uint8_t padding = 0;          // 0 or 1
    uint8_t mode = 0;             // 0 stereo, 1 joint stereo, 2 dual channel, 3 single channel
    uint8_t modeExtension = 0;    // joint stereo: bit 1 mid/side, bit 0 intensity

    // Parses four header bytes (big-endian). False when they are not a Layer III
    // header this decoder takes: no sync, reserved version, another layer, free
    // format or forbidden bit rate, reserved sample rate.
    bool Parse(uint32_t word);

    // Finds the next header from the reader's position: reads 4 bytes, then shifts
    // in one byte at a time, giving up after 65535 shifted bytes or at the end of the
    // file. On success the reader stands after the header and its CRC, if any.
    bool ReadHeader(MP3ByteReader& reader);

    int32_t GetSampleRate() const;
    uint8_t GetChannels() const { return mode == 3 ? 1 : 2; }
    int32_t GetGranules() const { return version == 0 ? 2 : 1; }
    // Frames (samples per channel) one frame decodes to: 1152 or 576.
    int32_t GetSamplesPerFrame() const { return version == 0 ? 1152 : 576; }
    // Whole frame in bytes, header included.
    int32_t GetFrameBytes() const;
    int32_t GetSideInfoBytes() const;
    // Frame bytes after the header, the CRC and the side information.
    int32_t GetMainDataBytes() const;
    // Whether a later header belongs to the same stream as this first one.
    bool Matches(const MP3Header& first) const;
};
