#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "formats/gsm/LGSMFrame.h"

// Reader of a headerless GSM 06.10 file: 8000 Hz mono, 160 frames per 33-byte
// block, maximum amplitude 0xFFFE0. The length is whole blocks at open time;
// trailing bytes of a partial block are ignored. A seek restarts the decoder from
// a cleared state at the block that holds the target frame.
class LGSMFileSource : public LSoundSourceBase {
public:
    static constexpr uint32_t kMaxAmplitude = 0xFFFE0;

    // Failure to open the file gives state kSrcCannotOpen.
    explicit LGSMFileSource(const std::string& path);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override;

private:
    // Decodes the block at readOffset_ into `out` (silence when the file is short) and advances.
    void DecodeNext(int32_t* out);
    // Decodes `blocks` consecutive blocks straight into `out`.
    void DecodeRun(int32_t* out, int32_t blocks);

    LFile file_;
    LGSMFrame codec_;
    int32_t decoded_[LGSMFrame::kSamples] = {};
    int32_t next_ = LGSMFrame::kSamples;  // index of the next buffered sample; kSamples = none
    int64_t readOffset_ = 0;              // byte offset of the next block to decode
    int32_t position_ = 0;
    int32_t length_ = 0;
    std::vector<uint8_t> bytes_;
};
