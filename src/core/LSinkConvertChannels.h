#pragma once
#include <vector>

#include "core/LSoundSink.h"

// Sink-side channel adapters.
class LSinkConvertChannels {
public:
    // `next` itself when its channel count (1 when empty) equals `channels`; an
    // adapter for mono<->stereo; an empty handle for any other pair.
    static LSoundSink OpenSink(int32_t channels, LSoundSink next);
};

// Accepts stereo and writes (left + right) >> 1 to a mono sink.
class LSinkConvertStereoToMono : public LSoundSinkBase {
public:
    explicit LSinkConvertStereoToMono(LSoundSink next);
    void Write(const int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;
    // Finishes the sink it feeds.
    bool Finish() override;

private:
    LSoundSink next_;
    std::vector<int32_t> work_;
};

// Accepts mono and writes each value to both channels of a stereo sink.
class LSinkConvertMonoToStereo : public LSoundSinkBase {
public:
    explicit LSinkConvertMonoToStereo(LSoundSink next);
    void Write(const int32_t* buffer, int32_t frames) override;
    void Seek(int32_t frame) override;
    // Finishes the sink it feeds.
    bool Finish() override;

private:
    LSoundSink next_;
    std::vector<int32_t> work_;
};
