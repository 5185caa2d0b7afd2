#include "edit/LSRCCutListAudio.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "core/Q24.h"

static_assert(std::endian::native == std::endian::little, "segment files hold little-endian frames");

LSRCCutListAudio::LSRCCutListAudio(const LCutListAudio& list)
    : LSoundSourceBase(list.sampleRate, list.channels, kMaxAmplitude), list_(list), length_(list.GetLength())
{
}

void LSRCCutListAudio::OpenCut(size_t index, int32_t offset)
{
    const LCut& cut = list_.Cuts()[index];
    leftInCut_ = cut.length - offset;
    gain_ = cut.gain;
    file_.Close();
    if (!cut.IsSilent()) {
        file_.Open(LAudioCutTank::Get().GetAudFilePath(cut.Segment()), LFile::Mode::Read);
        fileOffset_ = (int64_t(cut.start) + offset) * GetChannels() * 4;
    }
    nextCut_ = index + 1;
}

void LSRCCutListAudio::ReadFromCut(int32_t* buffer, int32_t frames)
{
    const size_t values = size_t(frames) * GetChannels();
    if (!file_.IsOpen()) {
        std::fill_n(buffer, values, 0);
        return;
    }
    int32_t want = int32_t(values * 4);
    int32_t got = fileOffset_ >= 0 ? file_.ReadAt(fileOffset_, buffer, want) : 0;
    fileOffset_ += want;
    size_t gotValues = size_t(std::max(got, 0)) / 4;
    std::fill(buffer + gotValues, buffer + values, 0);
    if (gain_ != kQ24Unity)
        for (size_t i = 0; i < gotValues; ++i)
            buffer[i] = Q24Mul(buffer[i], gain_);
}

void LSRCCutListAudio::Read(int32_t* buffer, int32_t frames)
{
    if (frames <= 0)
        return;
    const int32_t channels = GetChannels();
    if (position_ < 0) {
        int32_t zeros = int32_t(std::min<int64_t>(-int64_t(position_), frames));
        std::fill_n(buffer, size_t(zeros) * size_t(channels), 0);
        buffer += size_t(zeros) * size_t(channels);
        frames -= zeros;
        position_ += zeros;
    }
    position_ = int32_t(std::min<int64_t>(int64_t(position_) + frames, INT32_MAX));
    const std::vector<LCut>& cuts = list_.Cuts();
    while (frames > 0) {
        int32_t n = std::min(leftInCut_, frames);
        if (n > 0) {
            ReadFromCut(buffer, n);
            buffer += size_t(n) * size_t(channels);
            frames -= n;
            leftInCut_ -= n;
            continue;
        }
        file_.Close();
        if (nextCut_ >= cuts.size())
            break;
        OpenCut(nextCut_, 0);
    }
    std::fill_n(buffer, size_t(frames) * size_t(channels), 0);
}

void LSRCCutListAudio::Seek(int32_t frame)
{
    file_.Close();
    position_ = frame;
    leftInCut_ = 0;
    nextCut_ = 0;
    if (frame < 1)
        return;
    const std::vector<LCut>& cuts = list_.Cuts();
    int64_t offset = frame;
    for (size_t i = 0; i < cuts.size(); ++i) {
        if (offset < cuts[i].length) {
            OpenCut(i, int32_t(offset));
            return;
        }
        offset -= cuts[i].length;
    }
    nextCut_ = cuts.size();
}
