#pragma once
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"

// Reader of uncompressed PCM frames (8 to 32-bit integers, 32 or 64-bit floats) from an open file, starting at
// the file's current position. The length is the data size, cut to the frames
// the file holds when it opens. Frames before 0 or past the data, and frames of a
// file that shrinks later, read as silence. Maximum amplitude 0x7FFF0.
// Delivers every channel of the file; LWaveFile mixes more than two down.
class LSRCPCMFileBase : public LSoundSourceBase {
public:
    // `dataSize` 0xFFFFFFFF (an unfinished file) means "to the end of the file".
    LSRCPCMFileBase(LFile file, int32_t rate, uint16_t fileChannels, uint32_t dataSize, int32_t bytesPerSample);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override { position_ = frame; }

protected:
    // Converts `count` samples (frames × channels).
    virtual void Convert(int32_t* dst, const uint8_t* src, int32_t count) = 0;

private:
    LFile file_;
    int64_t dataStart_;
    int32_t position_ = 0;
    int32_t length_;
    int32_t bytesPerFrame_;
    std::vector<uint8_t> buffer_;
};

class LSRCPCM8File : public LSRCPCMFileBase {
public:
    LSRCPCM8File(LFile file, int32_t rate, uint16_t channels, uint32_t dataSize)
        : LSRCPCMFileBase(std::move(file), rate, channels, dataSize, 1) {}

protected:
    void Convert(int32_t* dst, const uint8_t* src, int32_t count) override;
};

class LSRCPCM16File : public LSRCPCMFileBase {
public:
    LSRCPCM16File(LFile file, int32_t rate, uint16_t channels, uint32_t dataSize)
        : LSRCPCMFileBase(std::move(file), rate, channels, dataSize, 2) {}

protected:
    void Convert(int32_t* dst, const uint8_t* src, int32_t count) override;
};

// PCM wider than 16 bits: 17- to 32-bit integers in 3 or 4 bytes, or IEEE floats
// in 4 or 8, carried with the stream's 20 bits (rounded). The top is limited to
// 0x7FFF0, the stream's full scale, so that a save does not take the loudest
// samples for an overload.
class LSRCPCMWideFile : public LSRCPCMFileBase {
public:
    LSRCPCMWideFile(LFile file, int32_t rate, uint16_t channels, uint32_t dataSize, int32_t bytesPerSample,
                    bool isFloat)
        : LSRCPCMFileBase(std::move(file), rate, channels, dataSize, bytesPerSample),
          bytes_(bytesPerSample),
          float_(isFloat) {}

protected:
    void Convert(int32_t* dst, const uint8_t* src, int32_t count) override;

private:
    int32_t bytes_;
    bool float_;
};
