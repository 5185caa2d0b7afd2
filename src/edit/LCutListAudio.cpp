#include "edit/LCutListAudio.h"

#include <algorithm>

#include "edit/LSNKCutTank.h"
#include "edit/LSRCCutListAudio.h"

namespace {

int32_t Clamp32(int64_t v) { return int32_t(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX)); }

} // namespace

LCutListAudio::LCutListAudio(const LCutListAudio& other) : sampleRate(other.sampleRate), channels(other.channels)
{
    *this = other;
}

LCutListAudio& LCutListAudio::operator=(const LCutListAudio& other)
{
    if (this == &other)
        return *this;
    Clear();
    sampleRate = other.sampleRate;
    channels = other.channels;
    // Copy the records, then take every reference under one lock.
    cuts_.reserve(other.cuts_.size());
    std::vector<LSegmentRef> refs;
    refs.reserve(other.cuts_.size());
    for (const LCut& c : other.cuts_) {
        cuts_.push_back(LCut::Adopt(c.Segment(), c.length, c.gain, c.start));
        refs.push_back(c.Segment());
    }
    LAudioCutTank::Get().IncRefAll(refs);
    return *this;
}

int32_t LCutListAudio::GetLength() const
{
    int64_t total = 0;
    for (const LCut& c : cuts_)
        total += c.length;
    return Clamp32(total);
}

void LCutListAudio::Clear()
{
    std::vector<LSegmentRef> refs;
    refs.reserve(cuts_.size());
    for (LCut& c : cuts_)
        refs.push_back(c.Release());
    cuts_.clear();
    LAudioCutTank::Get().DecRefAll(refs);
}

void LCutListAudio::Add(LCut cut) { cuts_.push_back(std::move(cut)); }

void LCutListAudio::AddHead(LCut cut) { cuts_.insert(cuts_.begin(), std::move(cut)); }

void LCutListAudio::AddBefore(size_t index, LCut cut)
{
    cuts_.insert(cuts_.begin() + long(std::min(index, cuts_.size())), std::move(cut));
}

void LCutListAudio::Detach(size_t index)
{
    if (index < cuts_.size())
        cuts_.erase(cuts_.begin() + long(index));
}

size_t LCutListAudio::Find(int64_t position, int64_t& acc) const
{
    acc = 0;
    for (size_t i = 0; i < cuts_.size(); ++i) {
        if (acc + cuts_[i].length > position)
            return i;
        acc += cuts_[i].length;
    }
    return cuts_.size();
}

void LCutListAudio::EfDelete(int32_t sStart, int32_t sEnd)
{
    if (sEnd < sStart || sEnd < 0)
        return;
    int64_t start = std::max(sStart, 0);
    int64_t end = sEnd;
    int64_t acc = 0;
    size_t i = 0;
    // Whole cuts to remove are marked with length -1 and compacted afterwards, so
    // that deleting many cuts stays linear.
    size_t erased = 0;
    while (i < cuts_.size()) {
        LCut& c = cuts_[i];
        if (acc + c.length <= start) {
            acc += c.length;
            ++i;
            continue;
        }
        if (end < acc + c.length)
            break;
        if (start > acc) {
            // Keep the head, drop the tail from start.
            end -= acc + c.length - start;
            c.length = int32_t(start - acc);
            acc = start;
        } else {
            end -= c.length;
            c.length = -1;
            ++erased;
        }
        ++i;
    }
    if (erased > 0) {
        cuts_.erase(std::remove_if(cuts_.begin(), cuts_.end(), [](const LCut& c) { return c.length < 0; }),
                    cuts_.end());
        i -= erased;
    }
    if (i >= cuts_.size())
        return;
    LCut& c = cuts_[i];
    int64_t d = end - acc;
    if (acc >= start) {
        c.start = Clamp32(c.start + d);
        c.length = int32_t(c.length - d);
    } else {
        // The whole range lies inside this cut: split it around the gap.
        LCut tail(c);
        tail.start = Clamp32(c.start + d);
        tail.length = int32_t(c.length - d);
        c.length = int32_t(start - acc);
        cuts_.insert(cuts_.begin() + long(i) + 1, std::move(tail));
    }
}

void LCutListAudio::EfInsertSilence(int32_t position, int32_t frames)
{
    if (frames < 0)
        return;
    int64_t pos = position;
    int64_t count = frames;
    if (pos < 0) {
        if (count < -pos)
            return;
        count += pos;
        pos = 0;
    }
    int64_t acc;
    size_t i = Find(pos, acc);
    if (i == cuts_.size()) {
        cuts_.push_back(LCut::Silence(Clamp32(count + (pos - acc))));
        return;
    }
    if (pos == acc) {
        cuts_.insert(cuts_.begin() + long(i), LCut::Silence(int32_t(count)));
        return;
    }
    int64_t head = pos - acc;
    LCut tail(cuts_[i]);
    tail.start = Clamp32(tail.start + head);
    tail.length = int32_t(tail.length - head);
    cuts_[i].length = int32_t(head);
    LCut parts[] = {LCut::Silence(int32_t(count)), std::move(tail)};
    cuts_.insert(cuts_.begin() + long(i) + 1, std::make_move_iterator(parts), std::make_move_iterator(parts + 2));
}

void LCutListAudio::EfInsert(int32_t position, const LCutListAudio& other)
{
    std::vector<LCut> copies = LCutListAudio(other).cuts_;
    int64_t pos = position;
    if (pos < 0) {
        // Other's cuts at the front, then silence up to the list's former first frame.
        copies.push_back(LCut::Silence(Clamp32(-pos)));
        cuts_.insert(cuts_.begin(), std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
        return;
    }
    int64_t acc;
    size_t i = Find(pos, acc);
    if (i == cuts_.size()) {
        if (pos - acc > 0)
            cuts_.push_back(LCut::Silence(Clamp32(pos - acc)));
        cuts_.insert(cuts_.end(), std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
        return;
    }
    if (pos > acc) {
        int64_t head = pos - acc;
        LCut tail(cuts_[i]);
        tail.start = Clamp32(tail.start + head);
        tail.length = int32_t(tail.length - head);
        cuts_[i].length = int32_t(head);
        copies.push_back(std::move(tail));
        ++i;
    }
    cuts_.insert(cuts_.begin() + long(i), std::make_move_iterator(copies.begin()), std::make_move_iterator(copies.end()));
}

void LCutListAudio::EfCopy(int32_t sStart, int32_t sEnd, LCutListAudio& destination) const
{
    if (sStart > sEnd)
        return;
    LCutListAudio result(*this);
    if (sStart >= 1)
        result.EfDelete(0, sStart);
    else if (sStart < 0)
        result.EfInsertSilence(0, Clamp32(-int64_t(sStart)));
    int64_t want = int64_t(sEnd) - sStart;
    int64_t have = result.GetLength();
    if (have > want)
        result.EfDelete(int32_t(want), int32_t(have));
    else if (have < want)
        result.EfInsertSilence(int32_t(have), Clamp32(want - have));
    destination = std::move(result);
}

int32_t LCutListAudio::AmplifiedGain(int32_t gain, int32_t percent)
{
    if (percent == 100)
        return gain;
    const int32_t limit = percent >= 101 ? (LCut::kMaxGain / percent) * 100 : LCut::kMaxGain;
    // Attenuation cannot overflow, so it also applies to a gain already at the
    // ceiling; otherwise a saturated cut could never be turned down again.
    if (limit > gain || percent <= 100)
        return Clamp32(int64_t(gain / 100) * percent);
    return LCut::kMaxGain;
}

void LCutListAudio::EfAmplifyAll(int32_t percent)
{
    if (percent == 100)
        return;
    for (LCut& c : cuts_)
        c.gain = AmplifiedGain(c.gain, percent);
}

void LCutListAudio::EfAmplify(int32_t sStart, int32_t sEnd, int32_t percent)
{
    if (sEnd < sStart || percent == 100)
        return;
    LCutListAudio part;
    EfCut(sStart, sEnd, part);
    part.EfAmplifyAll(percent);
    EfInsert(sStart, part);
}

void LCutListAudio::EfCut(int32_t sStart, int32_t sEnd, LCutListAudio& destination)
{
    EfCopy(sStart, sEnd, destination);
    if (&destination != this)
        EfDelete(sStart, sEnd);
}

void LCutListAudio::EfReplace(int32_t sStart, int32_t sEnd, const LCutListAudio& other)
{
    if (&other == this) {
        LCutListAudio copy(other);
        EfReplace(sStart, sEnd, copy);
        return;
    }
    EfDelete(sStart, sEnd);
    EfInsert(sStart, other);
}

void LCutListAudio::EfSilence(int32_t sStart, int32_t sEnd)
{
    EfDelete(sStart, sEnd);
    EfInsertSilence(sStart, Clamp32(int64_t(sEnd) - sStart));
}

void LCutListAudio::EfTrim(int32_t sStart, int32_t sEnd)
{
    if (sStart >= 1)
        EfDelete(0, sStart);
    EfDelete(Clamp32(int64_t(sEnd) - std::max(sStart, 0)), GetLength());
}

void LCutListAudio::EfDeleteBefore(int32_t position)
{
    if (position > 0)
        EfDelete(0, position);
}

void LCutListAudio::EfDeleteAfter(int32_t position) { EfDelete(position, GetLength()); }

void LCutListAudio::EfRepeat(int32_t sStart, int32_t sEnd, int32_t count)
{
    LCutListAudio part;
    EfCopy(sStart, sEnd, part);
    for (int32_t n = 0; n < count; ++n)
        EfInsert(sStart, part);
}

LSoundSource LCutListAudio::OpenSource() const { return MakeSource<LSRCCutListAudio>(*this); }

LSoundSink LCutListAudio::OpenSink(int32_t rate, uint8_t ch, std::shared_ptr<LTankSinkProgress> progress)
{
    return MakeSink<LSNKCutTank>(this, rate, ch, std::move(progress));
}
