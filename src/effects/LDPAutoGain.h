#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/LFile.h"
#include "core/LSoundSource.h"

// The second stage of automatic gain control: a source over the two files the
// first stage wrote (the audio as read, in blocks of 20 ms, and each block's
// weighted level per channel), returning the audio with a gain per channel.
//
// The gain brings each channel's reference level (its loud passages, found by
// the first stage) to 0 dB, follows the running loudness of the last second
// (Ls, within about -2..8 dB) and compresses each block's level around it:
// +4.5 dB far below, 2:1 near it, a hard ceiling 2 dB above. The gain of a
// block is reached by ramping during the block (over 1.5 blocks).
class LDPAutoGain : public LSoundSourceBase {
public:
    static constexpr int32_t kRingBlocks = 50;  // one second of block levels

    struct Analysis {
        LFile audio;                  // blocks of blockFrames frames, int32 little-endian
        LFile levels;                 // one signed byte per channel per block
        int32_t rate = 0;
        uint8_t channels = 1;
        int32_t blockFrames = 0;
        int32_t blocks = 0;
        int32_t length = 0;                  // frames returned before silence
        std::vector<int32_t> referenceLevels;  // per channel, dB
    };

    // Takes over the files; reading starts at the first block. Declares the
    // largest amplitude, so the pump limits what the gain pushes past full scale.
    explicit LDPAutoGain(Analysis analysis);
    void Read(int32_t* buffer, int32_t frames) override;
    int32_t GetPosition() override { return position_; }
    int32_t GetLength() override { return analysis_.length; }
    // Starts again from the first block and runs forward to `frame`.
    void Seek(int32_t frame) override;

    // The gain in dB for a block level relative to the running level, for
    // levels -127..127 (index level + 127).
    static const std::array<int8_t, 255>& GainMap();
    // The highest level v such that more than 12 of the 50 ring entries lie at
    // or above v (entries counted per level -127..127).
    static int32_t RunningLevel(const std::array<int32_t, 255>& histogram);

private:
    void Restart();
    void StartBlock();
    void PushLevel(int32_t level);
    int32_t ReadLevel(int32_t block, int32_t channel);

    Analysis analysis_;
    std::vector<int8_t> levelBytes_;  // the whole level file, read once
    std::vector<int32_t> block_;
    std::vector<int32_t> gains_, steps_;
    std::array<int32_t, kRingBlocks> ring_{};
    std::array<int32_t, 255> ringCount_{};
    int32_t ringIndex_ = 0;
    int32_t p75_ = 0;
    double smoothed_ = -2.0;   // Ls
    int32_t smoothedDb_ = 0;   // its truncation, what the gains use
    int32_t blockIndex_ = 0;   // the block now being returned
    int32_t inBlock_ = 0;      // frames of it already returned
    int32_t position_ = 0;
    bool started_ = false;
};
