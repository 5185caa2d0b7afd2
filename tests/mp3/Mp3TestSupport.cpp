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
    mpg123_param(mh, MPG123_REMOVE_FLAGS, MPG123_GAPLESS, 0.0);
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

int32_t ForceIntensityStereo(const std::string& path, bool midSide)
{
    std::string bytes = test::ReadFileBytes(path);
    int32_t changed = 0;
    for (size_t pos : FrameOffsets(bytes)) {
        auto& b = reinterpret_cast<uint8_t&>(bytes[pos + 3]);
        if ((b >> 6) != 1)
            continue;
        b = uint8_t((b & 0xCF) | 0x10 | (midSide ? 0x20 : 0));
        ++changed;
    }
    test::WriteFileBytes(path, bytes);
    return changed;
}

} // namespace mp3test
