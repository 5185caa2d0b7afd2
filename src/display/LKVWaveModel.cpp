#include "display/LKVWaveModel.h"

#include <algorithm>

LKVWaveModel::~LKVWaveModel() { StopThread(); }

void LKVWaveModel::Start(const LCutListAudio& list, int32_t mode, bool verticalZoom)
{
    Stop();
    rate_ = list.sampleRate;
    channels_ = list.channels;
    mode_ = mode;
    verticalZoom_ = verticalZoom;
    if (mode == kWaveModeSpectrogram) {
        if (spectrogram_ && spectrogram_->FftSize() == fftSize_)
            spectrogram_->SetAudio(list);
        else
            spectrogram_ = std::make_unique<LSpectrogramColumns>(list, fftSize_);
    } else {
        spectrogram_.reset();
        columns_ = std::make_unique<LKVWaveColumns>(list);
    }
    {
        std::lock_guard lock(paintLock_);
        // Spectra of another size or axis would be drawn wrongly until replaced.
        for (auto& c : spectra_)
            if (c && (!spectrogram_ || c->bins != spectrogram_->Bins()))
                c.reset();
    }
    StartThread();
    InvalidateColumns(0, kWaveMaxColumns);
}

void LKVWaveModel::Stop()
{
    StopThread();
    columns_.reset();
    InvalidateColumns(0, kWaveMaxColumns);
}

void LKVWaveModel::SetSpectrogramOptions(int32_t fftSize, bool logFrequency)
{
    fftSize_ = std::clamp(fftSize, kSpectrogramMinFFT, kSpectrogramMaxFFT);
    std::lock_guard lock(paintLock_);
    logFrequency_ = logFrequency;
}

bool LKVWaveModel::ComputeColumns(const LWaveMapping& map, int32_t from, int32_t to, uint8_t* upper, uint8_t* lower,
                                  const std::atomic<bool>* stop)
{
    if (mode_ == kWaveModeSpectrogram) {
        // No wave: the columns the spectra leave out (past the end) stay empty.
        for (size_t lane : {size_t(0), size_t(kWaveLaneStride)}) {
            std::fill(upper + lane + from, upper + lane + to, uint8_t(0));
            std::fill(lower + lane + from, lower + lane + to, uint8_t(0));
        }
        return spectrogram_ && spectrogram_->Compute(map, from, to, scratchSpectra_.data(), stop);
    }
    if (!columns_)
        return false;
    return columns_->Compute(map, from, to, mode_, verticalZoom_, upper, lower, stop);
}

void LKVWaveModel::ScrolledLocked(const LWaveMapping& map)
{
    if (dragScroll_ == kWaveDragLeft)
        selStart_ = map.PixelToFrame(0);
    else if (dragScroll_ == kWaveDragRight)
        selEnd_ = map.PixelToFrame(map.Width());
}

void LKVWaveModel::FillPictureLocked(LWavePicture& picture) const
{
    picture.selStart = selStart_;
    picture.selEnd = selEnd_;
    picture.lanes = Lanes();
    if (mode_ == kWaveModeSpectrogram) {
        picture.spectrogram = true;
        picture.logFrequency = logFrequency_;
        picture.sampleRate = rate_;
        picture.spectra.assign(spectra_.begin(), spectra_.begin() + map_.Width());
    }
}

void LKVWaveModel::ShiftedLocked(int32_t shift, int32_t width)
{
    const auto begin = spectra_.begin();
    if (shift > 0)
        std::move_backward(begin, begin + (width - shift), begin + width);
    else
        std::move(begin - shift, begin + width, begin);
}

void LKVWaveModel::CommitLocked(int32_t from, int32_t to)
{
    if (mode_ != kWaveModeSpectrogram)
        return;
    for (int32_t x = from; x < to; ++x)
        spectra_[size_t(x)] = std::move(scratchSpectra_[size_t(x)]);
}

void LKVWaveModel::SetSelectionStart(int32_t frames)
{
    int32_t a, b;
    {
        std::lock_guard lock(paintLock_);
        a = map_.FrameToPixel(selStart_);
        selStart_ = frames;
        b = map_.FrameToPixel(selStart_);
    }
    InvalidateBetween(a, b);
}

void LKVWaveModel::SetSelectionEnd(int32_t frames)
{
    int32_t a, b;
    {
        std::lock_guard lock(paintLock_);
        a = map_.FrameToPixel(selEnd_);
        selEnd_ = frames;
        b = map_.FrameToPixel(selEnd_);
    }
    InvalidateBetween(a, b);
}

void LKVWaveModel::SetSelection(int32_t start, int32_t end)
{
    SetSelectionStart(start);
    SetSelectionEnd(end);
}

int32_t LKVWaveModel::SelectionStart() const
{
    std::lock_guard lock(paintLock_);
    return selStart_;
}

int32_t LKVWaveModel::SelectionEnd() const
{
    std::lock_guard lock(paintLock_);
    return selEnd_;
}

int32_t LKVWaveModel::Cursor() const
{
    std::lock_guard lock(paintLock_);
    return cursor_;
}

int32_t LKVWaveModel::DragScrollState() const
{
    std::lock_guard lock(paintLock_);
    return dragScroll_;
}

int32_t LKVWaveModel::FrameAt(int32_t pixel) const
{
    std::lock_guard lock(paintLock_);
    return std::max(map_.PixelToFrame(std::clamp(pixel, 0, map_.Width())), 0);
}

std::vector<int32_t> LKVWaveModel::MouseDown(int32_t pixel)
{
    anchor_ = FrameAt(pixel);
    SetSelection(anchor_, anchor_);
    captured_ = true;
    return {};
}

void LKVWaveModel::EndDragScroll(std::vector<int32_t>& codes)
{
    std::lock_guard lock(paintLock_);
    if (dragScroll_ == kWaveDragRight)
        codes.push_back(kWaveDragBackRight);
    else if (dragScroll_ == kWaveDragLeft)
        codes.push_back(kWaveDragBackLeft);
    dragScroll_ = 0;
}

std::vector<int32_t> LKVWaveModel::MouseMove(int32_t pixel)
{
    std::vector<int32_t> codes;
    if (!captured_)
        return codes;
    int32_t width = Mapping().Width();
    int32_t state = DragScrollState();
    if (pixel >= width && state == 0) {
        codes.push_back(kWaveDragRight);
        std::lock_guard lock(paintLock_);
        dragScroll_ = kWaveDragRight;
    } else if (pixel <= 0 && state == 0) {
        codes.push_back(kWaveDragLeft);
        std::lock_guard lock(paintLock_);
        dragScroll_ = kWaveDragLeft;
    } else if (pixel > 0 && pixel < width && state != 0) {
        EndDragScroll(codes);
    }
    // Both ends follow the pointer, so that moving back across the anchor
    // leaves nothing of the earlier side selected.
    int32_t f = FrameAt(pixel);
    SetSelection(std::min(f, anchor_), std::max(f, anchor_));
    codes.push_back(kWaveSelecting);
    return codes;
}

std::vector<int32_t> LKVWaveModel::MouseUp(int32_t pixel)
{
    std::vector<int32_t> codes;
    if (!captured_)
        return codes;
    captured_ = false;
    EndDragScroll(codes);
    int32_t f = FrameAt(pixel);
    SetSelection(std::min(f, anchor_), std::max(f, anchor_));
    SetCursor(f, 0);
    codes.push_back(kWaveReleased);
    return codes;
}
