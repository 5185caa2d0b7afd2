#pragma once
#include <string>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "formats/gsm/LGSMFrame.h"

// Writer of a headerless GSM 06.10 file at 8000 Hz mono. Input is coded in blocks
// of 160 frames; Finish() (or the destructor) pads a last partial block with
// silence, so the file always holds whole 33-byte blocks once it is complete.
class LGSMFileSink : public LSoundSinkBase {
public:
    // Creates (or replaces) the file; failure sets the error bit.
    explicit LGSMFileSink(const std::string& path);
    ~LGSMFileSink() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Codes the last partial block and closes the file.
    bool Finish() override;
    // The stream cannot be rewritten: Seek does nothing.
    void Seek(int32_t) override {}

private:
    void EncodeBlocks(const int32_t* samples, int32_t blocks);

    LFile file_;
    LGSMFrame codec_;
    int32_t pending_[LGSMFrame::kSamples] = {};
    int32_t fill_ = 0;
    std::vector<uint8_t> bytes_;
};
