#pragma once
#include <string>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "formats/LVoxCodec.h"

// Reader of a headerless VOX (Dialogic ADPCM) file: mono, two samples per byte,
// high nibble first, maximum amplitude 0x200000. Decoding runs on from wherever
// the previous read stopped; a seek keeps the predictor and step index (the
// predictor's decay lets it settle), so only a read from a fresh reader is
// reproducible sample for sample.
class LSRCVOX : public LSoundSourceBase {
public:
    static constexpr uint32_t kMaxAmplitude = 0x200000;

    // Failure to open gives kSrcCannotOpen.
    LSRCVOX(const std::string& path, int32_t rate);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    // Two samples per byte of the file as it is now.
    int32_t GetLength() override;
    // Frames before 0 read as silence; an odd frame starts at the low nibble of its byte.
    void Seek(int32_t frame) override;

private:
    LFile file_;
    LVoxCodec codec_;
    int64_t byteOffset_ = 0;  // next byte to read
    int32_t position_ = 0;
    bool pending_ = false;    // the low nibble of pendingByte_ is the next sample
    uint8_t pendingByte_ = 0;
};
