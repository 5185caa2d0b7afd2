#pragma once
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// Reverb: a history line of one reverb time read by four taps at fixed
// fractions of its length plus a feedback of the value one line back. At 100 %
// the tap gains add up to just under unity of the output history, so the tail
// decays slowly. The line is shared by all channels (its length is a whole
// number of frames); Seek clears it.
class LSRCReverb : public LSRCFilterBase {
public:
    // `timeMs` is held to 0..1000 and `levelPercent` to -100..100 (beyond
    // that the recursion grows without bound); batch scripts can carry values no
    // dialog accepts.
    LSRCReverb(LSoundSource upstream, int32_t levelPercent, int32_t timeMs);
    void Read(int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;

    // Q9 gains (512 = 1.0) of the four taps and of the feedback.
    struct Gains {
        int32_t g1, g2, g3, g4, feedback;
    };
    static Gains GainsFor(int32_t levelPercent);
    // Start of tap n (0..3) in a line of `length` values.
    static int32_t TapStart(int32_t length, int32_t n);

private:
    void Restart();

    std::vector<int32_t> line_;
    Gains gains_;
    int32_t taps_[4] = {};
    int32_t write_ = 0;
};

// The reverb's parameters as the job, the preview and the batch converter hold them.
class LEfReverbMaker : public LEfSourceMaker {
public:
    LEfReverbMaker(int32_t level, int32_t time) : levelPercent(level), timeMs(time) {}
    LSoundSource MakeSource(const LSoundSource& input) const override;

    int32_t levelPercent;
    int32_t timeMs;
};
