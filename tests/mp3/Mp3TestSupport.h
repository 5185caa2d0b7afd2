#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace mp3test {

// A generated test signal, written as a 16-bit WAV by sox: `seconds` long at
// `rate`, mono or stereo, with tones, noise and sharp attacks so that the encoder
// uses every block type.
std::string MakeWav(const std::string& name, int32_t rate, int32_t channels, double seconds);

// Encodes `wav` with lame and the given options into a new file named `name`;
// empty on failure.
std::string Encode(const std::string& wav, const std::string& name, const std::string& lameOptions);

// A decoded stream: interleaved samples and its format.
struct Decoded {
    std::vector<int32_t> samples;
    int32_t rate = 0;
    int32_t channels = 0;
    bool ok = false;
};

// Decodes with libmpg123 (floating-point output, the encoder's delay and padding
// trimmed when its tag gives them), scaled by
// 524288 and rounded, the reference for our decoder.
Decoded DecodeReference(const std::string& path);
// Decodes the whole file with LMP3Source, reading `chunk` frames at a time.
Decoded DecodeOurs(const std::string& path, int32_t chunk = 8192);

// Differences between two decodes over their common length.
struct Accuracy {
    double rms = 0.0;        // in units of full scale (524288)
    double maxAbs = 0.0;     // in units of full scale
    int64_t compared = 0;    // samples
};
Accuracy Compare(const std::vector<int32_t>& ours, const std::vector<int32_t>& reference);

// The ISO/IEC 11172-4 "full accuracy" limits, in units of full scale.
constexpr double kMaxRms = 1.0 / 32768.0 / 3.4641016151377544;  // 2^-15 / sqrt(12)
constexpr double kMaxAbs = 1.0 / 16384.0;                        // 2^-14

} // namespace mp3test

namespace mp3test {

// Sets the intensity-stereo bit (and mid/side as `midSide`) in every joint-stereo
// frame header of `path`, in place. The encoder never uses intensity stereo, so
// this is how such streams are made; both decoders then read the right channel's
// scale factors as intensity positions. MPEG-2 and 2.5 read those with other bit
// lengths, so there the right channel's scalefac_compress is changed to one that
// reads as many bits, and frames where none does are left as they were. Returns
// the number of frames changed.
int32_t ForceIntensityStereo(const std::string& path, bool midSide);

// Empties the right channel of the last granule of every `every`-th stereo frame of
// `path`, from the first: no scale factors, no values, part2_3_length 0. The bits
// it had stay in the frame unread. Returns the number of frames changed.
int32_t EmptyRightChannel(const std::string& path, int32_t every);

// Offsets of the frame headers in a file of frames without gaps, from `start`.
std::vector<size_t> FrameOffsets(const std::string& bytes, size_t start = 0);

} // namespace mp3test
