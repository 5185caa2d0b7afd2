#pragma once
#include <atomic>
#include <memory>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSink.h"
#include "edit/LAudioCutTank.h"

class LCutListAudio;

// How far a tank sink has got, for a watcher on another thread (the crash
// record of a recording): the segment being written and how many frames of it
// are in its ".aud" file. Updated after every Write; a Seek back lowers it.
struct LTankSinkProgress {
    std::atomic<uint32_t> segment{kSilentSegment};
    std::atomic<uint32_t> frames{0};
};

// Writes a new tank segment: the raw frames to "%d.aud" and one peak entry per
// 256 frames to "%d.grf". When released, the destination list becomes exactly one
// cut over the new segment. Unlike a file that cannot be written silently
// reading as silence later, a segment that cannot be created or written puts the
// sink in error, so the job that fills it fails and the user is told. A write
// that fails (a full disk) is not counted, not even in part, and the sink takes
// nothing more: its cut holds exactly the frames of the writes that succeeded.
class LSNKCutTank : public LSoundSinkBase {
public:
    static constexpr int32_t kPeakBlock = 256;

    // `destination` must outlive the sink; `progress` (may be null) is kept up to date.
    LSNKCutTank(LCutListAudio* destination, int32_t rate, uint8_t channels,
                std::shared_ptr<LTankSinkProgress> progress = {});
    ~LSNKCutTank() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;

private:
    void FoldMono(const int32_t* values, int32_t frames);
    void FoldStereo(const int32_t* values, int32_t frames);
    void EmitPeaks();
    void FlushPeaks();

    LCutListAudio* destination_;
    LSegmentRef segment_;
    LFile audio_;
    LFile peaks_;
    int32_t framesInBlock_ = 0;
    std::vector<int32_t> maxima_;
    std::vector<int32_t> minima_;
    std::vector<uint8_t> pendingPeaks_;
    std::shared_ptr<LTankSinkProgress> progress_;
};
