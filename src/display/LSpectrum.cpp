#include "display/LSpectrum.h"

#include <algorithm>
#include <cmath>

#include "display/LFFT.h"

int32_t SpectrumBinFrequency(int32_t bin, int32_t rate) { return int32_t(int64_t(bin) * rate / kSpectrumFrames); }

int32_t SpectrumFrequencyBin(int32_t frequency, int32_t rate)
{
    if (rate <= 0)
        return 0;
    return int32_t(std::clamp<int64_t>(int64_t(frequency) * kSpectrumFrames / rate, 0, kSpectrumBins - 1));
}

int8_t SpectrumLevel(double re, double im)
{
    const double m = std::sqrt(re * re + im * im) / 92682.0;
    if (!(m > 0))
        return -127;
    const double db = 20.0 * std::log10(m);
    const double rounded = std::trunc(m >= 1 ? db + 0.5 : db - 0.5);
    return int8_t(std::clamp(rounded, -127.0, 127.0));
}

LSpectrumBlock ComputeSpectrum(LSoundSourceBase& source)
{
    static const LFFT fft(12);
    static const std::vector<double> window = [] {
        std::vector<double> w(kSpectrumFrames);
        for (int32_t i = 0; i < kSpectrumFrames; ++i)
            w[size_t(i)] = 0.54 - 0.46 * std::cos(i * 6.284 / kSpectrumFrames);
        return w;
    }();

    const int32_t channels = source.GetChannels() == 2 ? 2 : 1;
    std::vector<int32_t> samples(size_t(kSpectrumFrames) * size_t(source.GetChannels()));
    source.Read(samples.data(), kSpectrumFrames);

    LSpectrumBlock block;
    block.sampleRate = source.GetSampleRate();
    block.twoChannels = channels == 2;
    block.levels.assign(size_t(kSpectrumBins * channels), -127);
    std::vector<double> re(kSpectrumFrames), im(kSpectrumFrames);
    for (int32_t c = 0; c < channels; ++c) {
        for (int32_t i = 0; i < kSpectrumFrames; ++i) {
            re[size_t(i)] = samples[size_t(i * source.GetChannels() + c)] * window[size_t(i)];
            im[size_t(i)] = 0;
        }
        fft.Transform(re.data(), im.data());
        for (int32_t k = 0; k < kSpectrumBins; ++k)
            block.levels[size_t(c * kSpectrumBins + k)] =
                SpectrumLevel(re[size_t(k)] / kSpectrumFrames, im[size_t(k)] / kSpectrumFrames);
    }
    return block;
}

LSpectrumBlock ComputeSpectrum(const LCutListAudio& audio, int32_t cursor)
{
    LSoundSource source = audio.OpenSource();
    source->Seek(cursor);
    return ComputeSpectrum(*source);
}
