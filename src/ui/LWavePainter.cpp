#include "ui/LWavePainter.h"

#include <algorithm>
#include <array>

void LWavePainter::Render(QImage& image, const LWavePicture& picture, const LWaveColours& colours, int32_t from,
                          int32_t to, QRgb disabled)
{
    const int32_t width = picture.Width();
    const int32_t height = std::min(picture.height, image.height() - 1);
    from = std::clamp(from, 0, width);
    to = std::clamp(to, from, std::min(width, image.width() - 2));
    if (from >= to || height < 1)
        return;
    const int32_t n = to - from;
    if (!picture.enabled) {
        const int32_t left = from == 0 ? 0 : from + 1;
        const int32_t right = to == width ? std::min(width + 2, image.width()) : to + 1;
        for (int32_t y = 0; y <= height; ++y)
            std::fill(reinterpret_cast<QRgb*>(image.scanLine(y)) + left, reinterpret_cast<QRgb*>(image.scanLine(y)) + right,
                      disabled);
        return;
    }

    std::array<QRgb, kWaveMaxColumns> back, fore, separator;
    std::array<int32_t, kWaveMaxColumns> top, bottom, top2, bottom2;
    const bool lanes = picture.lanes > 1;
    const int32_t separatorRow = picture.SeparatorRow();
    for (int32_t i = 0; i < n; ++i) {
        const int32_t x = from + i;
        const LWaveRole role = picture.Role(x);
        LRgb b, f;
        colours.Pair(role, b, f);
        back[size_t(i)] = 0xFF000000u | b;
        fore[size_t(i)] = 0xFF000000u | f;
        // The line between the lanes: a quarter of the wave's colour over the background.
        separator[size_t(i)] = 0xFF000000u | (((b & 0xFCFCFC) >> 2) * 3 + ((f & 0xFCFCFC) >> 2));
        top2[size_t(i)] = bottom2[size_t(i)] = 0;
        if (role == LWaveRole::CursorLine) {
            top[size_t(i)] = 1;
            bottom[size_t(i)] = height;
        } else {
            const LWavePicture::Span s = picture.ColumnSpan(x, 0);
            top[size_t(i)] = s.top;
            bottom[size_t(i)] = s.bottom;
            if (lanes) {
                const LWavePicture::Span s2 = picture.ColumnSpan(x, 1);
                top2[size_t(i)] = s2.top;
                bottom2[size_t(i)] = s2.bottom;
            }
        }
    }
    for (int32_t y = 1; y < height; ++y) {
        QRgb* line = reinterpret_cast<QRgb*>(image.scanLine(y)) + from + 1;
        if (y == separatorRow) {
            for (int32_t i = 0; i < n; ++i)
                line[i] = (y >= top[size_t(i)] && y < bottom[size_t(i)]) ? fore[size_t(i)] : separator[size_t(i)];
            continue;
        }
        if (!lanes) {
            for (int32_t i = 0; i < n; ++i)
                line[i] = (y >= top[size_t(i)] && y < bottom[size_t(i)]) ? fore[size_t(i)] : back[size_t(i)];
            continue;
        }
        for (int32_t i = 0; i < n; ++i)
            line[i] = (y >= top[size_t(i)] && y < bottom[size_t(i)]) || (y >= top2[size_t(i)] && y < bottom2[size_t(i)])
                          ? fore[size_t(i)]
                          : back[size_t(i)];
    }
    const QRgb dark = 0xFF000000u, light = 0xFFFFFFFFu;
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(0)) + from + 1, n, dark);
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(height)) + from + 1, n, light);
    if (from == 0)
        for (int32_t y = 0; y <= height; ++y)
            reinterpret_cast<QRgb*>(image.scanLine(y))[0] = y == height ? light : dark;
    if (to == width && width + 1 < image.width())
        for (int32_t y = 0; y <= height; ++y)
            reinterpret_cast<QRgb*>(image.scanLine(y))[width + 1] = y == 0 ? dark : light;
}
