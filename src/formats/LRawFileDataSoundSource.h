#pragma once
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "formats/LRawCodec.h"

// Reader of headerless interleaved sample data in one of the byte codecs, the data
// layer of raw, AU and AIFF files. A data size is cut to the bytes the file holds
// when it opens; with none the length follows the file as it grows (a file still
// being recorded). Frames before 0 and past the data read as silence, and so do
// frames of a file that shrinks later. Delivers every channel of the file; the
// AU and AIFF openers mix more than two down.
class LRawFileDataSoundSourceBase : public LSoundSourceBase {
public:
    // Data size meaning "up to the end of the file, however long it is now".
    static constexpr int64_t kSizeFromFile = -1;

    // `dataStart` is the byte offset of frame 0; `dataSize` bytes or kSizeFromFile.
    // A closed file gives kSrcCannotOpen, no channels kSrcInvalid.
    LRawFileDataSoundSourceBase(LFile file, int64_t dataStart, int64_t dataSize, int32_t rate, uint16_t fileChannels,
                                int32_t bytesPerSample, uint32_t maxAmplitude);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    // Fixed for a given data size; otherwise whole frames in the file now.
    int32_t GetLength() override;
    void Seek(int32_t frame) override { position_ = frame; }

protected:
    virtual void Convert(int32_t* dst, const uint8_t* src, int32_t count) = 0;

private:
    LFile file_;
    int64_t dataStart_;
    int64_t length_;  // frames, or -1 to follow the file
    int32_t position_ = 0;
    int32_t bytesPerFrame_;
    std::vector<uint8_t> buffer_;
};

// The reader for one codec; Codec is one of the conversion structs of LRawCodec.h.
template <class Codec>
class LRawFileDataSoundSource final : public LRawFileDataSoundSourceBase {
public:
    LRawFileDataSoundSource(LFile file, int64_t dataStart, int64_t dataSize, int32_t rate, uint16_t fileChannels)
        : LRawFileDataSoundSourceBase(std::move(file), dataStart, dataSize, rate, fileChannels, Codec::kBytesPerSample,
                                      Codec::kMaxAmplitude)
    {
    }

protected:
    void Convert(int32_t* dst, const uint8_t* src, int32_t count) override { Codec::Decode(dst, src, count); }
};

// The reader for byte codec `codec` (kRawCodecMuLaw..kRawCodecPcm16BE); any other
// codec gives an error source in state kSrcInvalid.
LSoundSource MakeRawDataSource(uint8_t codec, LFile file, int64_t dataStart, int64_t dataSize, int32_t rate,
                               uint16_t fileChannels);
