#pragma once
#include <array>
#include <cstdint>

#include "core/LSoundSource.h"
#include "effects/LToneParams.h"

// The tone generator as a source: the signal of an LToneParams, the same on
// every channel except noise, which is independent per channel. Every value is
// a function of the frame index (noise comes from a counter-based generator),
// so a preview and the document it makes hold the same samples and Seek is
// exact; pink noise replays its filter from the start on a backward seek.
// Frames outside 0..length read as zeros. An unusable spec gives an empty
// source in state kSrcInvalid.
class LSRCTone : public LSoundSourceBase {
public:
    explicit LSRCTone(const LToneParams& spec);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return length_; }
    void Seek(int32_t frame) override { position_ = frame; }

    // Progress text of the job that writes it into a document.
    static constexpr const char* kJobText = "Generating tone";

private:
    // The value of frame `n` (0 <= n < length) on `channel`, before the fades.
    double Value(int64_t n, int32_t channel);
    double Fade(int64_t n, int64_t length) const;
    double PinkAt(int64_t n, int32_t channel);

    LToneParams spec_;
    int32_t length_ = 0;
    int32_t position_ = 0;
    double peak_ = 0;
    int64_t toneFrames_ = 0;    // DTMF
    int64_t periodFrames_ = 0;  // DTMF: tone and pause
    int64_t fadeIn_ = 0, fadeOut_ = 0;
    // Pink noise: the filter state of each channel, ready for frame pinkNext_,
    // and the output of each channel for frame pinkFrame_.
    std::array<std::array<double, 7>, 2> pink_{};
    std::array<double, 2> pinkOut_{};
    int64_t pinkNext_ = 0;
    int64_t pinkFrame_ = -1;
};
