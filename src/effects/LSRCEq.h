#pragma once
#include <array>
#include <cstdint>
#include <vector>

#include "core/LSRCFilterBase.h"
#include "effects/CreateEqFromPointList.h"
#include "effects/LEfSourceMaker.h"

// The equalizer: a 4095-tap linear-phase FIR designed from a 2048-entry gain
// table, run in 32-bit integers with block floating point. Output frame n is
// input frame n filtered (no delay): the filter looks 2047 frames back and 2047
// ahead, so it reads 2048 frames beyond the frame it returns.
//
// Each 8192-frame block is scaled by one shift s chosen so that the 32-bit sum
// of a tap run cannot wrap: with peak p and coefficient magnitude sum B,
// ceil(p / 2^s) * B stays below 2^31. For a flat curve that is the usual 15-bit
// mantissa. Every channel is filtered alike, whatever their number.
class LSRCEq : public LSRCFilterBase {
public:
    static constexpr int32_t kTaps = 2048;  // h[0] and one side of the symmetric filter
    static constexpr int32_t kHistory = 2047;
    static constexpr int32_t kLookAhead = 2048;
    static constexpr int32_t kBlock = 8192;
    static constexpr int32_t kFrames = kHistory + kLookAhead + kBlock;  // 12287

    using Coefficients = std::array<int32_t, kTaps>;

    // Reads the look-ahead and the first block from the input's current
    // position at once; the history before it is silence.
    LSRCEq(LSoundSource upstream, const LEqGainTable& table);
    void Read(int32_t* buffer, int32_t frames) override;
    // The frame the next Read returns: the input's position less the block
    // left and the look-ahead, so a pump that stops at GetLength gets every
    // frame of the input.
    int32_t GetPosition() override;
    // Refills history, look-ahead and block around `frame` (history before
    // frame 0 reads as silence).
    void Seek(int32_t frame) override;

    // h[k] = (floor(sum_j cos(k*j*pi/2048) * table[j]) + 4) >> 3; a flat table
    // of 128 gives h[0] = 32768, 16 at odd k and 0 at even k.
    static Coefficients Design(const LEqGainTable& table);
    const Coefficients& GetCoefficients() const { return h_; }
    // The shift of the current block (0 when the input is quiet).
    int32_t GetScaleShift() const { return shift_; }

private:
    void ReadInto(int32_t at, int32_t frames);
    void ApplyInBufferScaling();
    void Refill();

    Coefficients h_;
    std::vector<uint32_t> taps_;  // h_ as the kernel multiplies it
    int64_t bound_ = 0;           // |h[0]| + 2 * sum |h[k]|
    size_t channels_;
    std::vector<int32_t> raw_;    // channels_ planes of kFrames unscaled values
    std::vector<uint32_t> fwd_;   // the planes scaled by shift_
    std::vector<uint32_t> rev_;   // each scaled plane reversed, so both tap runs ascend
    std::vector<int32_t> interleaved_;
    std::vector<uint32_t> sums_;
    int32_t pos_ = 0;             // block position, 0..kBlock
    int32_t shift_ = 0;
};

// The equalizer's gain table as the job, the preview and the batch converter
// hold it.
class LEfEqMaker : public LEfSourceMaker {
public:
    explicit LEfEqMaker(const LEqGainTable& gains) : table(gains) {}
    // The table of `points` at `rate`.
    static LEfEqMaker FromCurve(const PointList& points, int32_t rate)
    {
        return LEfEqMaker(CreateEqFromPointList(points, rate));
    }
    LSoundSource MakeSource(const LSoundSource& input) const override;

    LEqGainTable table;
};
