#pragma once
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/LEfSourceMaker.h"

// Echo: one recursive delay line over the interleaved stream. Every value is
// fed back one echo time later at gain/100 of its level, without limit, so each
// repeat is quieter than the one before. The line is shared by all channels;
// its length is a whole number of frames, which keeps left meeting left.
// Seek clears the line, so a restarted preview begins without old echoes.
class LSRCEcho : public LSRCFilterBase {
public:
    // `timeMs` is held to 0..3000 and `gainPercent` to -99..99 (the feedback
    // must stay below unity); batch scripts can carry values no dialog accepts.
    LSRCEcho(LSoundSource upstream, int32_t gainPercent, int32_t timeMs);
    void Read(int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;

    // Values in the line: (time in frames) * channels, at least 128.
    static int32_t LineLength(int32_t timeMs, int32_t rate, int32_t channels);
    // gain_percent * 256 / 100 (Q8; 50 % gives 128).
    static int32_t FeedbackGain(int32_t gainPercent);

private:
    std::vector<int32_t> line_;
    size_t index_ = 0;
    int32_t gain_;
};

// The echo's parameters as the job, the preview and the batch converter hold them.
class LEfEchoMaker : public LEfSourceMaker {
public:
    LEfEchoMaker(int32_t gain, int32_t time) : gainPercent(gain), timeMs(time) {}
    LSoundSource MakeSource(const LSoundSource& input) const override;

    int32_t gainPercent;
    int32_t timeMs;
};
