#include "effects/LEfAutoTrim.h"

#include <algorithm>
#include <cstdlib>

#include "core/LFile.h"
#include "edit/LAudioCutTank.h"
#include "effects/LDecibelTables.h"

namespace {
constexpr int32_t kBlock = 256;  // frames per peak entry
}

std::vector<uint8_t> LEfAutoTrim::ReadPeaks(const LCutListAudio& list)
{
    const int64_t c = std::max<int32_t>(list.channels, 1);
    const int64_t length = list.GetLength();
    const int64_t n = length / kBlock + 1;
    std::vector<uint8_t> peaks(size_t(n * c * 2), 0);
    std::vector<uint8_t> bytes;
    int64_t position = 0;
    for (const LCut& cut : list.Cuts()) {
        const int64_t at = position;
        position += cut.length;
        if (cut.IsSilent() || cut.length <= 0)
            continue;
        const int64_t from = at / kBlock;
        const int64_t to = std::min((at + cut.length + kBlock - 1) / kBlock, n);
        if (to <= from)
            continue;
        LFile file;
        if (!file.Open(LAudioCutTank::Get().GetGrfFilePath(cut.Segment()), LFile::Mode::Read))
            continue;
        bytes.assign(size_t((to - from) * c * 2), 0);
        file.ReadAt((cut.start / kBlock) * c * 2, bytes.data(), int32_t(bytes.size()));
        // A gain above unity can push a scaled byte past 255; a negative gain
        // swaps the peaks' signs, which does not change their size.
        const int64_t gain = std::abs(int64_t(cut.gain >> 16));
        uint8_t* out = peaks.data() + from * c * 2;
        for (size_t i = 0; i < bytes.size(); ++i)
            out[i] = std::max(out[i], uint8_t(std::min<int64_t>(255, (bytes[i] * gain) >> 8)));
    }
    return peaks;
}

void LEfAutoTrim::FindRange(const std::vector<uint8_t>& peaks, int32_t channels, int32_t length, int32_t threshold,
                            int32_t& start, int32_t& end)
{
    const int64_t c = std::max(channels, 1);
    const int64_t n = int64_t(peaks.size()) / (2 * c);
    const int64_t loudest = peaks.empty() ? 0 : *std::max_element(peaks.begin(), peaks.end());
    const int64_t t = (loudest * DbAmplitude(std::clamp(threshold, -127, 127))) >> 24;
    const auto loud = [&](int64_t entry) { return peaks[size_t(2 * entry)] > t || peaks[size_t(2 * entry + 1)] > t; };

    start = 0;
    end = length;
    // Entries of blocks 1 .. n - 2, one per channel.
    const int64_t first = c, last = (n - 1) * c - 1;
    for (int64_t i = first; i <= last; ++i)
        if (loud(i)) {
            start = int32_t((i / c - 1) * kBlock);
            break;
        }
    // From the last channel of block n - 2, so that every channel of it is judged.
    for (int64_t i = last; i >= first; --i)
        if (loud(i)) {
            end = int32_t(std::min<int64_t>((i / c + 1) * kBlock, length));
            break;
        }
}

int32_t LEfAutoTrim::Process(LProgressDialog& dialog, Data& data)
{
    dialog.SetText("Auto Trim", 0);
    dialog.SetText("Please wait...", 1);
    LCutListAudio& list = *data.list;
    const std::vector<uint8_t> peaks = ReadPeaks(list);
    FindRange(peaks, list.channels, list.GetLength(), data.threshold, data.start, data.end);
    list.EfDeleteAfter(data.end);
    list.EfDeleteBefore(data.start);
    dialog.SetProgress(1.0);
    return kJobDone;
}
