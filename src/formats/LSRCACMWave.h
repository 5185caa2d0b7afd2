#pragma once
#include <memory>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "formats/LAcmStream.h"
#include "formats/LWaveFileFormat.h"

// Reader of compressed WAV data (ADPCM, GSM, A-law, mu-law, 24/32-bit and float
// PCM, MP3, extensible...), decoded through the codec port to 16-bit PCM at the
// file's rate, every channel of the file (LWaveFile mixes more than two down). The length is an estimate from the
// average byte rate until the data runs out. Seeking jumps by the byte rate (by
// whole blocks where a block's frame count is known) and decodes forward from
// just before the target. Maximum amplitude 0x7FFF0.
class LSRCACMWave : public LSoundSourceBase {
public:
    // Takes the file positioned at the first data byte; `dataSize` 0xFFFFFFFF
    // means "to the end of the file", and a larger size than the file holds is cut
    // to it. State kSrcNoCodec when no codec can decode.
    LSRCACMWave(LFile file, const LWaveFileFormat& format, uint32_t dataSize);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override;
    void Seek(int32_t frame) override;

private:
    void Decode(int32_t* out, int32_t frames);
    int64_t FrameAtOffset(int64_t offset) const;
    int64_t OffsetOfFrame(int64_t frame) const;

    LFile file_;
    std::unique_ptr<LAcmStream> stream_;
    int64_t dataStart_ = 0;
    int64_t dataSize_ = 0;
    int64_t bytesRead_ = 0;
    uint32_t rate_;
    uint32_t avgBytes_;
    uint32_t blockAlign_;
    uint32_t samplesPerBlock_ = 0;  // 0 when unknown
    std::vector<uint8_t> source_;
    uint32_t sourceFill_ = 0;
    std::vector<uint8_t> decoded_;
    uint32_t decodedFill_ = 0;
    uint32_t decodedPos_ = 0;
    int32_t position_ = 0;
    int64_t endFrame_ = -1;
};
