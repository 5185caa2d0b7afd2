#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "core/LSoundSink.h"
#include "core/LSoundSource.h"
#include "edit/LCut.h"

struct LTankSinkProgress;

// A document's audio as an edit list: an ordered list of cuts, each a stretch of
// a tank segment or of silence with a gain. Every edit is an operation on the
// list in time proportional to the number of cuts; audio is never touched.
// Ranges [sStart, sEnd) are in frames and exclude sEnd; positions before 0 or
// past the end are handled with silence, never errors.
// Used on the user-interface thread; sources opened from it are snapshots.
class LCutListAudio {
public:
    LCutListAudio() = default;
    LCutListAudio(const LCutListAudio& other);
    LCutListAudio& operator=(const LCutListAudio& other);
    LCutListAudio(LCutListAudio&& other) noexcept = default;
    LCutListAudio& operator=(LCutListAudio&& other) noexcept = default;
    ~LCutListAudio() { Clear(); }

    int32_t sampleRate = 44100;
    uint8_t channels = 1;

    // Sum of the cut lengths (capped at INT32_MAX).
    int32_t GetLength() const;
    const std::vector<LCut>& Cuts() const { return cuts_; }

    void Clear();
    void Add(LCut cut);
    void AddHead(LCut cut);
    // Inserts before the cut at `index` (at the end when index is past the last cut).
    void AddBefore(size_t index, LCut cut);
    // Removes the cut at `index`, releasing its reference.
    void Detach(size_t index);

    // Destination becomes exactly sEnd - sStart frames: this list's frames
    // [sStart, sEnd), with silence for the parts before 0 or past the end.
    void EfCopy(int32_t sStart, int32_t sEnd, LCutListAudio& destination) const;
    // Removes [max(sStart, 0), sEnd); nothing when sEnd < sStart or sEnd < 0.
    void EfDelete(int32_t sStart, int32_t sEnd);
    // Inserts copies of every cut of `other` at `position`; a gap past the end,
    // or a negative position, is filled with silence.
    void EfInsert(int32_t position, const LCutListAudio& other);
    void EfInsertSilence(int32_t position, int32_t frames);
    // Multiplies the gain of [sStart, sEnd) by percent / 100.
    void EfAmplify(int32_t sStart, int32_t sEnd, int32_t percent);
    // Multiplies every gain by percent / 100, saturating at LCut::kMaxGain.
    void EfAmplifyAll(int32_t percent);
    // A cut's Q24 gain after EfAmplifyAll(percent).
    static int32_t AmplifiedGain(int32_t gain, int32_t percent);
    void EfCut(int32_t sStart, int32_t sEnd, LCutListAudio& destination);
    // Delete then insert: paste over a selection, and the result of an effect.
    void EfReplace(int32_t sStart, int32_t sEnd, const LCutListAudio& other);
    void EfSilence(int32_t sStart, int32_t sEnd);
    // Keeps only [sStart, sEnd).
    void EfTrim(int32_t sStart, int32_t sEnd);
    void EfDeleteBefore(int32_t position);
    void EfDeleteAfter(int32_t position);
    // The range occurs count + 1 times in a row afterwards.
    void EfRepeat(int32_t sStart, int32_t sEnd, int32_t count);

    // A source over a private copy of the list (maximum amplitude 0x200000).
    LSoundSource OpenSource() const;
    // The tank sink: when released, this list becomes one cut over the new
    // segment, at the sink's rate and channels. The list must outlive the sink.
    // `progress` (may be null) follows the writing from another thread.
    LSoundSink OpenSink(int32_t rate, uint8_t channels, std::shared_ptr<LTankSinkProgress> progress = {});

private:
    // Index of the cut holding `position` and the frame where it starts; the cut
    // count when the position lies at or past the end (acc is then the length).
    size_t Find(int64_t position, int64_t& acc) const;

    std::vector<LCut> cuts_;
};
