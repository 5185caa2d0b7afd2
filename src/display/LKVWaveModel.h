#pragma once
#include <cstdint>
#include <memory>
#include <vector>

#include "display/LKVWaveColumns.h"
#include "display/LSpectrogramColumns.h"
#include "display/LWaveViewBase.h"
#include "edit/LCutListAudio.h"

// Codes a document's wave view reports to the window that holds it.
enum LWaveCode : int32_t {
    kWaveReleased = 2,         // mouse released: cursor and selection are final
    kWaveDragRight = 4,        // the drag went past the right edge
    kWaveDragBackRight = 5,    // ... and came back
    kWaveDragLeft = 6,         // the drag reached the left edge
    kWaveDragBackLeft = 7,     // ... and came back
    kWaveSelecting = 8,        // the selection changed during a drag
};

// The model of a document's wave view (overview or main view): the columns
// computed on the wave thread from a private copy of the document's cut list,
// the selection and cursor marks, and the mouse selection with its drag-edge
// codes. Pixels passed to the mouse operations are wave columns (client x - 1).
// Used on the user-interface thread.
class LKVWaveModel : public LWaveViewBase {
public:
    LKVWaveModel() = default;
    ~LKVWaveModel() override;

    // Restarts the view on a copy of `list` (format and cuts), drawn in `mode`
    // (kWaveModePosNeg, kWaveModeLeftRight, kWaveModeLanes or kWaveModeSpectrogram),
    // magnified eight times when `verticalZoom`. The view is empty until the next
    // SetView. A spectrogram restarted at the same FFT size keeps the columns
    // the audio's change left alone.
    void Start(const LCutListAudio& list, int32_t mode, bool verticalZoom);
    // The spectrogram's FFT size (256..8192) and frequency axis; both take
    // effect at the next Start.
    void SetSpectrogramOptions(int32_t fftSize, bool logFrequency);
    // The spectrogram's columns while the view shows one, else null. For tests,
    // while the wave thread is idle.
    const LSpectrogramColumns* Spectrogram() const { return spectrogram_.get(); }
    // Ends the thread and releases the copy; the view paints disabled.
    void Stop();

    void SetSelectionStart(int32_t frames);
    void SetSelectionEnd(int32_t frames);
    int32_t SelectionStart() const;
    int32_t SelectionEnd() const;
    int32_t Cursor() const;
    int32_t DisplayMode() const { return mode_; }
    // 2 for a stereo document drawn in lanes or as a spectrogram, else 1.
    int32_t Lanes() const
    {
        return (mode_ == kWaveModeLanes || mode_ == kWaveModeSpectrogram) && channels_ == 2 ? 2 : 1;
    }
    bool LogFrequency() const { return logFrequency_; }
    // The FFT size the spectrogram uses from the next Start on.
    int32_t SpectrogramFftSize() const { return spectrogram_ ? spectrogram_->FftSize() : fftSize_; }
    bool VerticalZoom() const { return verticalZoom_; }
    // The document format copied at Start (44100 Hz, 1 channel before).
    int32_t SampleRate() const { return rate_; }
    int32_t Channels() const { return channels_; }

    // Mouse. Each returns the codes to report, in order.
    std::vector<int32_t> MouseDown(int32_t pixel);
    std::vector<int32_t> MouseMove(int32_t pixel);
    std::vector<int32_t> MouseUp(int32_t pixel);
    bool HasCapture() const { return captured_; }
    // 0, kWaveDragRight or kWaveDragLeft while a drag is past an edge.
    int32_t DragScrollState() const;

protected:
    bool ComputeColumns(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* upper, uint8_t* lower,
                        const std::atomic<bool>* stop) override;
    void ScrolledLocked(const LWaveMapping& map) override;
    void FillPictureLocked(LWavePicture& picture) const override;
    void ShiftedLocked(int32_t shift, int32_t width) override;
    void CommitLocked(int32_t from, int32_t to) override;

private:
    // Frame under a pointer at `pixel`, the pixel limited to the view's edges.
    int32_t FrameAt(int32_t pixel) const;
    void SetSelection(int32_t start, int32_t end);
    void EndDragScroll(std::vector<int32_t>& codes);

    std::unique_ptr<LKVWaveColumns> columns_;  // the wave thread's while it runs
    std::unique_ptr<LSpectrogramColumns> spectrogram_;  // likewise; kept across restarts
    int32_t fftSize_ = kSpectrogramDefaultFFT;
    bool logFrequency_ = true;
    // The spectra of the picture's columns (guarded by paintLock_) and those the
    // wave thread computes before they join the picture.
    std::vector<std::shared_ptr<const LSpectrogramColumn>> spectra_ =
        std::vector<std::shared_ptr<const LSpectrogramColumn>>(kWaveMaxColumns);
    std::vector<std::shared_ptr<const LSpectrogramColumn>> scratchSpectra_ =
        std::vector<std::shared_ptr<const LSpectrogramColumn>>(kWaveMaxColumns);
    int32_t mode_ = kWaveModePosNeg;
    bool verticalZoom_ = false;
    int32_t rate_ = 44100;
    int32_t channels_ = 1;

    // Guarded by paintLock_ (the wave thread moves the selection during a drag scroll).
    int32_t selStart_ = 0;
    int32_t selEnd_ = 0;
    int32_t dragScroll_ = 0;

    int32_t anchor_ = 0;
    bool captured_ = false;
};
