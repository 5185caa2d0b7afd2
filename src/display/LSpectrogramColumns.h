#pragma once
#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

#include "core/LSoundSource.h"
#include "display/LFFT.h"
#include "display/LSpectrogramColumn.h"
#include "display/LWaveMapping.h"
#include "edit/LCutListAudio.h"

// Computes the spectra of a document's spectrogram columns from a private copy
// of its cut list, and keeps them: a column is known by the frames it covers
// [a, b) (its document position and its width, so a scroll at the same zoom
// finds the columns it showed before), for one FFT size per object. A column is
// one complex transform of Hann-windowed frames centred in it: a stereo
// column's two channels share it, a mono column wider than two windows fills
// it with two windows at its quarters and averages their power. Nothing reads
// more than that, so a column of a ten-hour view costs what a close one costs.
// Used by one thread at a time (the wave thread while it runs).
class LSpectrogramColumns {
public:
    // `fftSize` is rounded down to a power of two within
    // kSpectrogramMinFFT..kSpectrogramMaxFFT. `cacheBytes` bounds the kept spectra.
    LSpectrogramColumns(const LCutListAudio& list, int32_t fftSize, size_t cacheBytes = size_t(64) << 20);

    int32_t FftSize() const { return fft_.Size(); }
    int32_t Bins() const { return fft_.Size() / 2 + 1; }
    // 1 or 2.
    int32_t Channels() const { return channels_; }
    int32_t SampleRate() const { return list_.sampleRate; }

    // Takes the document's audio after a change. Kept columns whose windows
    // read none of the changed frames stay; so do none at all after a change of
    // rate or channels.
    void SetAudio(const LCutListAudio& list);

    // The columns [from, to) of `map` into out[x], from the cache or computed;
    // checks `stop` (may be null) after every column and returns false when it
    // stopped early. A column of an empty view is null.
    bool Compute(const LWaveMapping& map, int32_t from, int32_t to, std::shared_ptr<const LSpectrogramColumn>* out,
                 const std::atomic<bool>* stop);
    // The column covering frames [a, b).
    std::shared_ptr<const LSpectrogramColumn> Column(int64_t a, int64_t b);

    // Columns computed (not found in the cache) since the object was made.
    int64_t Computed() const { return computed_; }
    size_t CachedColumns() const { return cache_.size(); }

private:
    struct Entry {
        std::shared_ptr<const LSpectrogramColumn> column;
        int64_t a, b;
        uint64_t used;
    };

    std::shared_ptr<LSpectrogramColumn> Analyse(int64_t a, int64_t b);
    // Frames [start, start + size) of the audio, zeros outside it, into buffer_;
    // from the frames read ahead when they hold them, else reading `ahead`
    // more frames than asked for the columns that follow.
    void Read(int64_t start, int64_t ahead);
    void Evict();

    LCutListAudio list_;
    int32_t channels_;
    int64_t length_;
    LSoundSource source_;
    LFFT fft_;
    std::vector<float> window_;
    std::vector<int32_t> buffer_;
    // Frames read ahead: a seek reopens segment files, so close columns share reads.
    std::vector<int32_t> span_;
    int64_t spanStart_ = 0;
    int64_t spanFrames_ = 0;
    int64_t sourceAt_ = -1;  // where the source reads next; -1 unknown
    std::vector<double> re_, im_;
    std::vector<double> power_;

    std::unordered_map<uint64_t, Entry> cache_;
    size_t cacheBytes_;
    size_t bytes_ = 0;
    uint64_t clock_ = 0;
    int64_t computed_ = 0;
};
