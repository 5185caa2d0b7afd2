#pragma once
#include <cstdint>
#include <string>

// A time position or length in milliseconds; negative values are positions before
// the start of a file. All frame/millisecond conversions use 32-bit integer
// arithmetic split so the intermediate products cannot overflow for long files.
class LSoundTime {
public:
    LSoundTime() = default;
    explicit LSoundTime(int32_t ms) : ms_(ms) {}

    int32_t GetMs() const { return ms_; }
    void SetMs(int32_t ms) { ms_ = ms; }

    // Sets the value to the time of `frames` at `rate`; a rate below 1 leaves it unchanged.
    void SetSamples(int32_t frames, int32_t rate);
    // The frame position of this time at `rate` (truncating toward zero).
    int32_t GetSamples(int32_t rate) const;

    std::string GetTextMs() const;   // h:mm:ss.mmm
    std::string GetTextCs() const;   // h:mm:ss.cc, rounded to the nearest centisecond
    std::string GetTextSec() const;  // h:mm:ss, rounded to the nearest second
    // Parses a typed time such as "1:02:03.45", "90" or "-1:00". Never fails:
    // characters it does not know are skipped.
    void SetText(const std::string& text);

    friend bool operator==(LSoundTime a, LSoundTime b) { return a.ms_ == b.ms_; }

private:
    int32_t ms_ = 0;
};
