#pragma once
#include <atomic>
#include <cstdint>
#include <vector>

#include "core/LSoundSource.h"
#include "display/LPeakFileCache.h"
#include "display/LWaveMapping.h"
#include "edit/LCutListAudio.h"

// Display modes of a document's wave view.
enum : int32_t {
    kWaveModePosNeg = 0,     // positive samples up, negative down
    kWaveModeLeftRight = 1,  // stereo: left channel up, right channel down
    kWaveModeLanes = 2,      // stereo: each channel positive/negative in a lane of its own
    kWaveModeSpectrogram = 3, // each channel's spectrogram in a lane of its own
};

// Computes the two column arrays of a document's wave view, the height above and
// the depth below the centre line in 0..255 of the half height, from a private
// copy of the document's cut list: from the audio at up to 256 frames per column,
// from the tank's peak files beyond. The copy keeps its segments alive while they
// are read. Used by one thread at a time.
class LKVWaveColumns {
public:
    explicit LKVWaveColumns(const LCutListAudio& list);

    const LCutListAudio& List() const { return list_; }
    // 1 or 2.
    int32_t Channels() const { return channels_; }

    // Each computes the columns [from, to) of `map` into upper[x] and lower[x],
    // checks `stop` (may be null) after every column and returns false when it
    // stopped early. `verticalZoom` magnifies eight times.
    //
    // From the audio: the largest sample (from 0) >> 11 up and the negated
    // smallest (from 0) >> 11 down, over all channels; a column without frames is 0.
    bool CreateWaveShortPosNeg(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom, uint8_t* upper,
                               uint8_t* lower, const std::atomic<bool>* stop);
    // From the audio: the left channel's peak magnitude up, the right one's down.
    // Anything but stereo is drawn as CreateWaveShortPosNeg.
    bool CreateWaveShortLeftRight(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom,
                                  uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop);
    // From the audio, stereo only: each channel positive up and negative down,
    // the left channel into upper/lower[x], the right one into
    // upper/lower[kWaveLaneStride + x]. Anything but stereo is CreateWaveShortPosNeg.
    bool CreateWaveShortLanes(const LWaveMapping& map, int32_t from, int32_t to, bool verticalZoom, uint8_t* upper,
                              uint8_t* lower, const std::atomic<bool>* stop);
    // From the peak files. Each 256-frame block goes to the column holding its
    // first frame within its cut and is scaled by that cut's gain; silent cuts and
    // frames outside the list add nothing. `mode` is any of the three
    // (kWaveModePosNeg is the only one for anything but stereo); kWaveModeLanes
    // fills the second lane as CreateWaveShortLanes does.
    bool CreateWaveLong(const LWaveMapping& map, int32_t from, int32_t to, int32_t mode, bool verticalZoom,
                        uint8_t* upper, uint8_t* lower, const std::atomic<bool>* stop);

    // What the wave thread runs: from the audio while the view is at most
    // width * 256 frames long, else from the peak files. With kWaveModeLanes on
    // stereo the arrays must hold 2 * kWaveLaneStride columns.
    bool Compute(const LWaveMapping& map, int32_t from, int32_t to, int32_t mode, bool verticalZoom, uint8_t* upper,
                 uint8_t* lower, const std::atomic<bool>* stop);

private:
    template <class Fold>
    bool WalkAudio(const LWaveMapping& map, int32_t from, int32_t to, const std::atomic<bool>* stop, Fold& fold);
    // Index of the first cut ending beyond `frame` (the cut count past the end).
    size_t CutAt(int64_t frame) const;

    LCutListAudio list_;
    int32_t channels_;
    std::vector<int64_t> cutStarts_;  // frame where each cut starts, and the length last
    LSoundSource source_;
    LPeakFileCache peaks_;
    std::vector<int32_t> buffer_;
};
