#include "effects/LEfEnvelope.h"

#include <algorithm>
#include <vector>

#include "core/Q24.h"

int32_t LEfEnvelope::Process(LProgressDialog& dialog, Data& data)
{
    if (data.stEnd <= data.stStart)
        return kJobDone;
    // Lists from batch scripts arrive unchecked; a decreasing x would make a
    // segment of negative length.
    PointList points = data.points;
    points.Validate();
    if (points.nPoints < 2)
        return kJobFailed;
    dialog.SetText("Envelope", 0);
    dialog.SetText("Please wait...", 1);

    LCutListAudio& list = *data.list;
    const int32_t length = data.stEnd - data.stStart;
    LSoundSource source = list.OpenSource();
    if (data.stStart != 0)
        source->Seek(data.stStart);
    LCutListAudio processed;
    LSoundSink sink = processed.OpenSink(list.sampleRate, list.channels);
    if (!sink || sink->IsError())
        return kJobFailed;

    const size_t channels = source->GetChannels();
    std::vector<int32_t> block(size_t(kBlockFrames) * channels);
    int32_t gain = PointGain(points.points[0].y);
    int32_t next = 1;  // the point the current segment runs to
    int32_t result = kJobDone;
    for (int32_t pos = 0; pos < length;) {
        if (dialog.IsCancelled()) {
            result = kJobCancelled;
            break;
        }
        while (next < points.nPoints && pos >= PointPosition(length, points.points[size_t(next)].x)) {
            gain = PointGain(points.points[size_t(next)].y);
            ++next;
        }
        int32_t target = gain;
        int32_t end = length;
        if (next < points.nPoints) {
            target = PointGain(points.points[size_t(next)].y);
            end = PointPosition(length, points.points[size_t(next)].x);
        }
        const int32_t n = std::min(end - pos, kBlockFrames);
        const int32_t step = (target - gain) / (end - pos);
        source->Read(block.data(), n);
        int32_t* v = block.data();
        for (int32_t f = 0; f < n; ++f, gain += step)
            for (size_t c = 0; c < channels; ++c, ++v)
                *v = Q24Mul(*v, gain);
        sink->Write(block.data(), n);
        if (sink->IsError()) {
            result = kJobFailed;
            break;
        }
        pos += n;
        dialog.SetProgress(double(pos) / double(length));
    }
    sink.Reset();
    if (result == kJobDone)
        list.EfReplace(data.stStart, data.stEnd, processed);
    return result;
}
