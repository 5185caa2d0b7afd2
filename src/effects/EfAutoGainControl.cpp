#include "effects/EfAutoGainControl.h"

#include <algorithm>
#include <cstdlib>
#include <unistd.h>

#include "core/LPRSourceToSink.h"
#include "effects/LDPAutoGain.h"
#include "effects/LDecibelTables.h"
#include "effects/LEfArith.h"

namespace {

// 2*pi times the corners of the level weighting: a high-pass at 450 Hz and an
// emphasis above 2200 Hz, so the level follows what the ear finds loud.
constexpr double kTwoPi450 = 2827.4333882;
constexpr double kTwoPi2200 = 13823.0076758;

// Makes "<temp>/<prefix>XXXXXX", opens it and unlinks it at once: the open
// file is all the job needs, and it disappears with the last descriptor.
bool OpenTempFile(const char* prefix, LFile& file)
{
    std::string path = FilePathCat(GetTempFolder(), std::string(prefix) + "XXXXXX");
    const int fd = mkstemp(path.data());
    if (fd < 0)
        return false;
    close(fd);
    const bool opened = file.Open(path, LFile::Mode::ReadWrite);
    unlink(path.c_str());
    return opened;
}

} // namespace

int32_t EfAutoGainControl::BlockFrames(int32_t rate) { return std::clamp(rate / 50, 20, 8192); }

int32_t EfAutoGainControl::ReferenceLevel(const std::array<int32_t, 255>& histogram)
{
    int64_t blocks = 0;
    for (int32_t n : histogram)
        blocks += n;
    // The lowest level at or above which at most an eighth of the blocks lie.
    const int64_t eighth = (blocks + 8) >> 3;
    int32_t loud = -127;
    int64_t above = blocks;
    while (loud < 127 && above > eighth) {
        above -= histogram[size_t(loud + 127)];
        ++loud;
    }
    const int32_t floor = loud < -112 ? -127 : loud - 15;
    int64_t count = 0;
    for (int32_t level = floor; level <= 127; ++level)
        count += histogram[size_t(level + 127)];
    const int64_t half = (count + 2) >> 1;
    int64_t fromTop = 0;
    for (int32_t level = 127; level >= floor; --level) {
        fromTop += histogram[size_t(level + 127)];
        if (fromTop >= half)
            return level;
    }
    return floor;
}

std::string EfAutoGainControl::TempFileMessage(const std::string& folder)
{
    return "Automatic Gain Control cannot create its temporary files in \"" + folder + "\".";
}

int32_t EfAutoGainControl::Process(LProgressDialog& dialog, Data& data)
{
    if (data.sEnd <= data.sStart)
        return kJobDone;
    dialog.SetText("Automatic Gain Control", 0);
    dialog.SetText("Please wait...", 1);
    LCutListAudio& list = *data.list;
    LCutListAudio selection;
    list.EfCopy(data.sStart, data.sEnd, selection);
    LSoundSource source = selection.OpenSource();
    if (source->GetError() != kSrcGood || source->GetSampleRate() <= 0)
        return kJobFailed;

    LDPAutoGain::Analysis analysis;
    if (!OpenTempFile("lca", analysis.audio) || !OpenTempFile("lcp", analysis.levels)) {
        dialog.Error(TempFileMessage(GetTempFolder()));
        return kJobFailed;
    }
    const size_t channels = source->GetChannels();
    const int32_t frames = BlockFrames(source->GetSampleRate());
    const int32_t a450 = EfOnePoleCoefficient(kTwoPi450, source->GetSampleRate());
    const int32_t a2200 = EfOnePoleCoefficient(kTwoPi2200, source->GetSampleRate());
    analysis.rate = source->GetSampleRate();
    analysis.channels = uint8_t(channels);
    analysis.blockFrames = frames;
    analysis.length = source->GetLength();

    // Stage 1: the audio as read, and the weighted level of each block.
    std::vector<int32_t> block(size_t(frames) * channels);
    std::vector<int32_t> weighted(static_cast<size_t>(frames));
    std::vector<int8_t> levels(channels);
    std::vector<int64_t> highPass(channels, 0), emphasis(channels, 0);
    std::vector<std::array<int32_t, 255>> histograms(channels);
    const double total = std::max(1.0, double(analysis.length));
    int32_t sinceCheck = 0;
    while (source->GetPosition() < source->GetLength()) {
        if ((sinceCheck += frames) >= 8192) {
            sinceCheck = 0;
            if (dialog.IsCancelled())
                return kJobCancelled;
            dialog.SetProgress(source->GetPosition() / total);
        }
        source->Read(block.data(), frames);
        const int32_t bytes = int32_t(block.size() * sizeof(int32_t));
        if (analysis.audio.Write(block.data(), bytes) != bytes) {
            dialog.Error(TempFileMessage(GetTempFolder()));
            return kJobFailed;
        }
        for (size_t c = 0; c < channels; ++c) {
            int64_t s1 = highPass[c], s2 = emphasis[c];
            for (int32_t f = 0; f < frames; ++f) {
                int64_t x = block[size_t(f) * channels + c] - (s1 >> 8);
                s1 += x * a450;
                const int64_t d = x - (s2 >> 8);
                x += d;
                s2 += d * a2200;
                weighted[size_t(f)] = EfSaturate32(x);
            }
            highPass[c] = s1, emphasis[c] = s2;
            const int32_t level = BlockLevelDb(BlockMeanSquare(weighted.data(), weighted.size()));
            levels[c] = int8_t(level);
            ++histograms[c][size_t(level + 127)];
        }
        if (analysis.levels.Write(levels.data(), int32_t(channels)) != int32_t(channels)) {
            dialog.Error(TempFileMessage(GetTempFolder()));
            return kJobFailed;
        }
        ++analysis.blocks;
    }
    for (size_t c = 0; c < channels; ++c)
        analysis.referenceLevels.push_back(ReferenceLevel(histograms[c]));
    data.referenceLevels = analysis.referenceLevels;
    source.Reset();

    // Stage 2: the gained audio into new segments at the list's format.
    LCutListAudio processed;
    LPRSourceToSink::Data pump{"Automatic Gain Control", MakeSource<LDPAutoGain>(std::move(analysis)),
                               processed.OpenSink(list.sampleRate, list.channels)};
    const int32_t result = LPRSourceToSink::Process(dialog, pump);
    pump.sink.Reset();
    pump.source.Reset();
    if (result == kJobDone)
        list.EfReplace(data.sStart, data.sEnd, processed);
    return result;
}
