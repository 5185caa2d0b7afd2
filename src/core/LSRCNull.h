#pragma once
#include "core/LSoundSource.h"

// The silent placeholder: 11025 Hz mono, maximum amplitude 0x200000, state kSrcSilent.
// Failed opens return it with their own error state.
class LSRCNull : public LSoundSourceBase {
public:
    explicit LSRCNull(uint8_t error = kSrcSilent);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return 0; }
    int32_t GetLength() override { return 0; }
};

// A silent placeholder carrying `error`, as failed openers return it.
LSoundSource MakeErrorSource(uint8_t error);
