#include "Mp3TestSupport.h"

#include <algorithm>
#include <cmath>

#include <mpg123.h>

#include "formats/mp3/LMP3Source.h"
#include "support/TestSupport.h"

namespace mp3test {

std::string MakeWav(const std::string& name, int32_t rate, int32_t channels, double seconds)
{
    std::string path = test::TempPath(name);
    // Two tones, pink noise and a click train: the clicks make the encoder switch
    // to short blocks, the noise fills the high bands.
    char cmd[1024];
    std::snprintf(cmd, sizeof cmd,
                  "sox -q -n -r %d -c %d -b 16 %s synth %.3f sine 220 sine 1375 pinknoise square 3 "
                  "remix - gain -6 vol 0.9 2>/dev/null || sox -q -n -r %d -c %d -b 16 %s synth %.3f sine 440",
                  int(rate), int(channels), test::Quote(path).c_str(), seconds, int(rate), int(channels),
                  test::Quote(path).c_str(), seconds);
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
