#include "Mp3TestSupport.h"

#include <algorithm>
#include <cmath>

#include <mpg123.h>

#include "formats/mp3/LMP3Source.h"
#include "formats/mp3/MP3Header.h"
#include "support/TestSupport.h"

namespace mp3test {

std::string MakeWav(const std::string& name, int32_t rate, int32_t channels, double seconds)
{
    std::string path = test::TempPath(name);
    // Two tones, pink noise and a 3 Hz square wave: the square's edges make the
    // encoder switch to short blocks, the noise fills the high bands. The channels
    // differ so that stereo coding has work to do.
    char cmd[1024];
    std::snprintf(cmd, sizeof cmd,
                  "sox -R -q -n -r %d -b 16 %s synth %.3f sine 220 sine 1375 pinknoise square 3 remix %s gain -9",
                  int(rate), test::Quote(path).c_str(), seconds, channels == 1 ? "-" : "1,3v0.5 2,4v0.3");
    test::Run(cmd);
    return path;
}

std::string Encode(const std::string& wav, const std::string& name, const std::string& lameOptions)
{
    std::string path = test::TempPath(name);
    if (test::Run("lame --quiet " + lameOptions + " " + test::Quote(wav) + " " + test::Quote(path)) != 0)
        return {};
    return path;
}

Decoded DecodeReference(const std::string& path)
{
    Decoded d;
    mpg123_init();
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh)
        return d;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS, 0.0);
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(mh);
    for (long rate : {8000L, 11025L, 12000L, 16000L, 22050L, 24000L, 32000L, 44100L, 48000L})
        mpg123_format(mh, rate, MPG123_MONO | MPG123_STEREO, MPG123_ENC_FLOAT_32);
    if (mpg123_open(mh, path.c_str()) != MPG123_OK) {
        mpg123_delete(mh);
        return d;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    std::vector<unsigned char> buf(1 << 16);
    for (;;) {
        size_t done = 0;
        int r = mpg123_read(mh, buf.data(), buf.size(), &done);
        if (r == MPG123_NEW_FORMAT) {
            mpg123_getformat(mh, &rate, &channels, &encoding);
            continue;
        }
        const float* f = reinterpret_cast<const float*>(buf.data());
        for (size_t i = 0; i < done / sizeof(float); ++i)
            d.samples.push_back(int32_t(std::lrint(double(f[i]) * 524288.0)));
        if (r != MPG123_OK)
            break;
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    d.rate = int32_t(rate);
    d.channels = channels;
    d.ok = channels > 0;
    return d;
}

Decoded DecodeOurs(const std::string& path, int32_t chunk)
{
    Decoded d;
    LSoundSource src = LMP3Source::Open(path);
    d.rate = src->GetSampleRate();
    d.channels = src->GetChannels();
    d.ok = src->GetError() == kSrcGood;
    if (d.ok)
        d.samples = test::ReadAll(src, chunk);
    return d;
}

Accuracy Compare(const std::vector<int32_t>& ours, const std::vector<int32_t>& reference)
{
    Accuracy a;
    size_t n = std::min(ours.size(), reference.size());
    double sum = 0.0, worst = 0.0;
    for (size_t i = 0; i < n; ++i) {
        double diff = double(ours[i]) - double(reference[i]);
        sum += diff * diff;
        worst = std::max(worst, std::fabs(diff));
    }
    a.compared = int64_t(n);
    a.rms = n ? std::sqrt(sum / double(n)) / 524288.0 : 0.0;
    a.maxAbs = worst / 524288.0;
    return a;
}

} // namespace mp3test

namespace mp3test {

std::vector<size_t> FrameOffsets(const std::string& bytes, size_t start)
{
    std::vector<size_t> offsets;
    size_t pos = start;
    while (pos + 4 <= bytes.size()) {
        const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + pos);
        MP3Header h;
        if (!h.Parse((uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3]))
            break;
        offsets.push_back(pos);
        pos += size_t(h.GetFrameBytes());
    }
    return offsets;
}

namespace {

uint32_t GetBits(const std::string& bytes, size_t bit, int32_t n)
{
    uint32_t v = 0;
    for (int32_t i = 0; i < n; ++i, ++bit)
        v = (v << 1) | ((uint8_t(bytes[bit >> 3]) >> (7 - (bit & 7))) & 1u);
    return v;
}

void PutBits(std::string& bytes, size_t bit, int32_t n, uint32_t v)
{
    for (int32_t i = n - 1; i >= 0; --i, ++bit) {
        auto& b = reinterpret_cast<uint8_t&>(bytes[bit >> 3]);
        const auto mask = uint8_t(0x80u >> (bit & 7));
        b = uint8_t((v >> i) & 1u ? b | mask : b & ~mask);
    }
}

// Bit offset of the side information of the frame at `pos`.
size_t SideInfoBit(const std::string& bytes, size_t pos)
{
    const bool crc = (uint8_t(bytes[pos + 1]) & 1) == 0;
    return (pos + 4 + (crc ? 2 : 0)) * 8;
}

bool IsLsf(const std::string& bytes, size_t pos) { return (uint8_t(bytes[pos + 1]) & 0x08) == 0; }

// Bits the scale factors of an MPEG-2 or 2.5 granule take (ISO/IEC 13818-3): slen
// by scalefac_compress, read one way for the intensity-coded right channel and
// another for every other channel, times the factors per group for the block kind
// (long, short, mixed).
int32_t LsfScaleFactorBits(int32_t sfc, int32_t kind, bool intensityRight)
{
    constexpr int32_t kCounts[6][3][4] = {
        {{6, 5, 5, 5}, {9, 9, 9, 9}, {6, 9, 9, 9}},      {{6, 5, 7, 3}, {9, 9, 12, 6}, {6, 9, 12, 6}},
        {{11, 10, 0, 0}, {18, 18, 0, 0}, {15, 18, 0, 0}}, {{7, 7, 7, 0}, {12, 12, 12, 0}, {6, 15, 12, 0}},
        {{6, 6, 6, 3}, {12, 9, 9, 6}, {6, 12, 9, 6}},    {{8, 8, 5, 0}, {15, 12, 9, 0}, {6, 18, 9, 0}},
    };
    int32_t slen[4] = {};
    int32_t table;
    if (intensityRight) {
        const int32_t isc = sfc >> 1;
        if (isc < 180) {
            slen[0] = isc / 36, slen[1] = isc % 36 / 6, slen[2] = isc % 6, table = 3;
        } else if (isc < 244) {
            const int32_t x = isc - 180;
            slen[0] = x % 64 >> 4, slen[1] = x % 16 >> 2, slen[2] = x % 4, table = 4;
        } else {
            slen[0] = (isc - 244) / 3, slen[1] = (isc - 244) % 3, table = 5;
        }
    } else if (sfc < 400) {
        slen[0] = (sfc >> 4) / 5, slen[1] = (sfc >> 4) % 5, slen[2] = sfc % 16 >> 2, slen[3] = sfc % 4, table = 0;
    } else if (sfc < 500) {
        const int32_t x = sfc - 400;
        slen[0] = (x >> 2) / 5, slen[1] = (x >> 2) % 5, slen[2] = x % 4, table = 1;
    } else {
        slen[0] = (sfc - 500) / 3, slen[1] = (sfc - 500) % 3, table = 2;
    }
    int32_t bits = 0;
    for (int32_t i = 0; i < 4; ++i)
        bits += kCounts[table][kind][i] * slen[i];
    return bits;
}

// Gives the right channel of the MPEG-2/2.5 frame at `pos` a scalefac_compress whose
// intensity reading takes as many bits as the encoder's scale factors did, so that
// its Huffman data is still read from where it was written; false when there is none.
// `odd` asks for the intensity scale 2^-1/2 rather than 2^-1/4 where both fit.
bool MatchLsfIntensityScaleFactors(std::string& bytes, size_t pos, bool odd)
{
    // main_data_begin, private bits, the left channel's 63 bits, then the right
    // channel's part2_3_length, big_values and global_gain.
    const size_t sfcBit = SideInfoBit(bytes, pos) + 8 + 2 + 63 + 12 + 9 + 8;
    const auto sfc = int32_t(GetBits(bytes, sfcBit, 9));
    if (sfc == 0)
        return true;  // no scale factors either way; keeps a VBR information frame intact
    int32_t kind = 0;
    if (GetBits(bytes, sfcBit + 9, 1) && GetBits(bytes, sfcBit + 10, 2) == 2)
        kind = GetBits(bytes, sfcBit + 12, 1) ? 2 : 1;
    const int32_t bits = LsfScaleFactorBits(sfc, kind, false);
    int32_t found = -1;
    for (int32_t v = 0; v < 512; ++v) {
        if (LsfScaleFactorBits(v, kind, true) != bits)
            continue;
        found = v;
        if ((v & 1) == int32_t(odd))
            break;
    }
    if (found < 0)
        return false;
    PutBits(bytes, sfcBit, 9, uint32_t(found));
    return true;
}

} // namespace

int32_t ForceIntensityStereo(const std::string& path, bool midSide)
{
    std::string bytes = test::ReadFileBytes(path);
    int32_t changed = 0;
    for (size_t pos : FrameOffsets(bytes)) {
        auto& b = reinterpret_cast<uint8_t&>(bytes[pos + 3]);
        if ((b >> 6) != 1)
            continue;
        if (IsLsf(bytes, pos) && !MatchLsfIntensityScaleFactors(bytes, pos, (changed & 1) != 0))
            continue;
        b = uint8_t((b & 0xCF) | 0x10 | (midSide ? 0x20 : 0));
        ++changed;
    }
    test::WriteFileBytes(path, bytes);
    return changed;
}

int32_t EmptyRightChannel(const std::string& path, int32_t every)
{
    std::string bytes = test::ReadFileBytes(path);
    int32_t changed = 0;
    int32_t index = 0;
    for (size_t pos : FrameOffsets(bytes)) {
        if ((uint8_t(bytes[pos + 3]) >> 6) == 3 || index++ % every != 0)
            continue;
        // The right channel of the last granule: no main data is read after it.
        const bool lsf = IsLsf(bytes, pos);
        const size_t granule = SideInfoBit(bytes, pos) + (lsf ? 8 + 2 + 63 : 9 + 3 + 8 + 3 * 59);
        PutBits(bytes, granule, 12 + 9, 0);            // part2_3_length, big_values
        PutBits(bytes, granule + 29, lsf ? 9 : 4, 0);  // scalefac_compress
        ++changed;
    }
    test::WriteFileBytes(path, bytes);
    return changed;
}

} // namespace mp3test
