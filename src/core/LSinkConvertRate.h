#pragma once
#include <vector>

#include "core/ConvertRatio.h"
#include "core/LSoundSink.h"

// A sink that accepts one rate and resamples into the sink it feeds, with a
// cheaper 15-tap filter at the exact ratio of the rates; used where audio is
// pushed (CD ripping). Pending frames are flushed by Seek and by Finish (or when
// the sink is released).
class LSinkConvertRateBase : public LSoundSinkBase {
public:
    static constexpr int32_t kTaps = 15;
    static constexpr int32_t kBlock = 8192;

    // `next` itself when it already runs at `rate` (44100 when empty), else a converter.
    static LSoundSink OpenSink(int32_t rate, LSoundSink next);

    LSinkConvertRateBase(int32_t rate, LSoundSink next);
    ~LSinkConvertRateBase() override;
    void Write(const int32_t* buffer, int32_t frames) override;
    // Flushes, seeks the next sink to the same frame number, takes its position and resets.
    void Seek(int32_t frame) override;
    // Flushes the pending frames, then finishes the sink it feeds.
    bool Finish() override;

private:
    void Reset();
    void Append(const int32_t* buffer, int32_t frames, bool raw);
    void Process();

    ConvertRatio ratio_;
    LSoundSink next_;
    uint32_t inputCount_ = 0;  // values held in input_
    uint32_t phase_ = 0;
    int32_t skip_ = 0;         // input frames still to drop when the step jumped past the buffer
    std::vector<int32_t> input_;
    std::vector<int32_t> output_;
};
