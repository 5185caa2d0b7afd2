#pragma once
#include <cstdint>
#include <string>
#include <vector>

// The frequency axis of one spectrogram band `rows` rows high: row 0 at the
// top shows half the sample rate, the last row the lowest frequency, linear
// (down to 0 Hz) or logarithmic (down to 20 Hz, or the first bin when that
// lies higher). Maps rows to FFT bins and places the labels. A value type.
class LSpectrogramAxis {
public:
    LSpectrogramAxis(int32_t sampleRate, int32_t fftSize, bool logarithmic, int32_t rows);

    int32_t Rows() const { return rows_; }
    bool Logarithmic() const { return log_; }
    double LowestFrequency() const { return low_; }
    double HighestFrequency() const { return high_; }
    // The frequency at a row edge (0: the top edge, Rows(): the bottom edge).
    double FrequencyAt(double row) const;
    // The row (fractional) at which `frequency` lies; outside 0..Rows() beyond the axis.
    double RowOf(double frequency) const;
    // The bins a row shows, first..last inclusive: every bin whose centre lies
    // in the row, or the nearest one when none does.
    void BinsOfRow(int32_t row, int32_t& first, int32_t& last) const;

    struct Label {
        int32_t row;
        std::string text;
    };
    // Round frequencies (1, 2 and 5 times a power of ten) at least `spacing`
    // rows apart, none closer than half of it to either edge, lowest first.
    std::vector<Label> Labels(int32_t spacing) const;
    // "0 Hz", "500 Hz", "1 kHz", "2.5 kHz", "22.05 kHz".
    static std::string Text(double frequency);

private:
    int32_t rate_;
    int32_t fftSize_;
    bool log_;
    int32_t rows_;
    double low_;
    double high_;
};
