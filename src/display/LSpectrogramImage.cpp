#include "display/LSpectrogramImage.h"

#include <algorithm>
#include <vector>

#include "display/LSpectrogramAxis.h"
#include "display/LSpectrogramColours.h"

namespace {

// The selection: three eighths of the way to white.
uint32_t Lighten(uint32_t c)
{
    uint32_t out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        const uint32_t v = (c >> shift) & 0xFF;
        out |= (v + (255 - v) * 3 / 8) << shift;
    }
    return out;
}

} // namespace

void LSpectrogramImage::Render(uint32_t* pixels, ptrdiff_t stride, const LWavePicture& picture, int32_t from,
                               int32_t to)
{
    from = std::max(from, 0);
    to = std::min({to, picture.Width(), int32_t(picture.spectra.size())});
    if (!picture.spectrogram || !picture.enabled || from >= to)
        return;
    const std::array<uint32_t, 256>& map = LSpectrogramColours::Map();
    std::array<uint32_t, 256> light;
    for (size_t i = 0; i < 256; ++i)
        light[i] = Lighten(map[i]);

    std::vector<uint8_t> levels;
    std::vector<int32_t> first, last;
    for (int32_t lane = 0; lane < std::max(picture.lanes, 1); ++lane) {
        const LWavePicture::Lane rows = picture.LaneRows(lane);
        const int32_t n = rows.end - rows.top;
        if (n <= 0)
            continue;
        const LSpectrogramColumn* any = nullptr;
        for (int32_t x = from; x < to && !any; ++x)
            any = picture.spectra[size_t(x)].get();
        if (!any)
            continue;
        const LSpectrogramAxis axis(picture.sampleRate, (any->bins - 1) * 2, picture.logFrequency, n);
        first.resize(size_t(n));
        last.resize(size_t(n));
        for (int32_t r = 0; r < n; ++r)
            axis.BinsOfRow(r, first[size_t(r)], last[size_t(r)]);
        levels.resize(size_t(n));
        for (int32_t x = from; x < to; ++x) {
            const LWaveRole role = picture.Role(x);
            const LSpectrogramColumn* column = picture.spectra[size_t(x)].get();
            if (role == LWaveRole::CursorLine || role == LWaveRole::PastEnd)
                continue;
            const bool selected = role == LWaveRole::Selection || role == LWaveRole::BandInSelection;
            const std::array<uint32_t, 256>& colours = selected ? light : map;
            uint32_t* p = pixels + ptrdiff_t(rows.top) * stride + x + 1;
            if (!column || column->bins != any->bins) {
                for (int32_t r = 0; r < n; ++r, p += stride)
                    *p = 0xFF000000u | colours[0];
                continue;
            }
            const uint8_t* bins = column->levels.data() + size_t(std::min(lane, column->channels - 1)) * size_t(column->bins);
            // The loudest bin of those a row covers, so a narrow tone stays visible on a short axis.
            for (int32_t r = 0; r < n; ++r, p += stride) {
                uint8_t v = 0;
                for (int32_t k = first[size_t(r)]; k <= last[size_t(r)]; ++k)
                    v = std::max(v, bins[k]);
                *p = 0xFF000000u | colours[v];
            }
        }
    }
}
