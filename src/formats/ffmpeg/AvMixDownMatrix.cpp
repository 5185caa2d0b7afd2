// The stereo mix-down matrix of libswresample.
#include <bit>
#include <cmath>
#include <vector>

extern "C" {
#include <libavutil/channel_layout.h>
#include <libswresample/swresample.h>
}

#include "formats/ffmpeg/AvPort.h"

bool AvMixDownMatrix(int32_t channels, uint64_t mask, std::vector<double>& matrix)
{
    if (channels < 1 || channels > 64)
        return false;
    AVChannelLayout in{};
    if (mask != 0 && std::popcount(mask) == channels)
        av_channel_layout_from_mask(&in, mask);
    else
        av_channel_layout_default(&in, channels);
    AVChannelLayout out = AV_CHANNEL_LAYOUT_STEREO;
    // The values of an SwrContext left at its defaults, as the media decoder uses
    // it. The function scales a whole 64 × 64 matrix whatever the stride, so it gets
    // one of that size, laid out as libswresample's own.
    constexpr int kMax = 64;
    std::vector<double> full(size_t(kMax) * kMax, 0.0);
    const bool ok = in.order == AV_CHANNEL_ORDER_NATIVE &&
                    swr_build_matrix2(&in, &out, M_SQRT1_2, M_SQRT1_2, 0.0, 1.0, 1.0, full.data(), kMax,
                                      AV_MATRIX_ENCODING_NONE, nullptr) == 0;
    av_channel_layout_uninit(&in);
    matrix.assign(size_t(2) * size_t(channels), 0.0);
    for (int32_t o = 0; o < 2 && ok; ++o)
        for (int32_t i = 0; i < channels; ++i)
            matrix[size_t(o) * size_t(channels) + size_t(i)] = full[size_t(o) * kMax + size_t(i)];
    return ok;
}
