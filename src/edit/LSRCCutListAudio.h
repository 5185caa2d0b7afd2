#pragma once
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"
#include "edit/LCutListAudio.h"

// Reads a cut list as one stream. It holds a private copy of the list (and so its
// own segment references): later edits of the document do not disturb it. One
// segment file is open at a time; reads cross cuts inside one call; unity gain is
// copied without multiplying. Frames a damaged or missing segment file cannot
// supply read as zeros. Maximum amplitude 0x200000.
class LSRCCutListAudio : public LSoundSourceBase {
public:
    static constexpr uint32_t kMaxAmplitude = 0x200000;

    explicit LSRCCutListAudio(const LCutListAudio& list);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override;

private:
    void OpenCut(size_t index, int32_t offset);
    void ReadFromCut(int32_t* buffer, int32_t frames);

    LCutListAudio list_;
    size_t nextCut_ = 0;
    int32_t position_ = 0;
    int32_t length_;
    LFile file_;
    int64_t fileOffset_ = 0;
    int32_t leftInCut_ = 0;
    int32_t gain_ = kQ24Unity;
};
