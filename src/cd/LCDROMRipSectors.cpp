#include "cd/LCDROMRipSectors.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "cd/LAccurateRip.h"
#include "cd/LCDDBInfo.h"
#include "cd/LCDAddress.h"
#include "cd/LCDToc.h"
#include "cd/LMmcCommands.h"
#include "cd/LSCSI.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"

namespace {

using Report = LCDROMRipSectors::Report;
constexpr int32_t kFrames = LCDROMRipSectors::kFramesPerSector;

int64_t FloorDiv(int64_t a, int64_t b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

// Turns the sectors read, in order, into the track's frames: drops the frames
// before the track's first one (a read offset), stops after its last, takes
// the AccurateRip checksums and writes native samples to the sink in pieces.
class Output {
public:
    Output(LSoundSinkBase& sink, int64_t skipFrames, int64_t trackFrames, bool first, bool last)
        : sink_(sink),
          skip_(skipFrames),
          left_(trackFrames),
          accurateRip_(int32_t(std::min<int64_t>(trackFrames, INT32_MAX)), first, last),
          block_(size_t(LCDROMRipSectors::kPieceFrames) * 2)
    {
    }

    void Sectors(const uint8_t* bytes, int32_t sectors)
    {
        int64_t frames = int64_t(sectors) * kFrames;
        const int64_t skipped = std::min(skip_, frames);
        bytes += skipped * 4;
        frames -= skipped;
        skip_ -= skipped;
        frames = std::min(frames, left_);
        left_ -= frames;
        accurateRip_.Add(bytes, int32_t(frames));
        while (frames > 0) {
            const int32_t k = int32_t(std::min<int64_t>(frames, LCDROMRipSectors::kPieceFrames - filled_));
            int32_t* out = block_.data() + size_t(filled_) * 2;
            for (int32_t i = 0; i < 2 * k; ++i)
                out[i] = int32_t(int16_t(uint16_t(bytes[2 * i] | bytes[2 * i + 1] << 8))) * 16;
            bytes += size_t(k) * 4;
            frames -= k;
            filled_ += k;
            if (filled_ == LCDROMRipSectors::kPieceFrames)
                Flush();
        }
    }

    void Silence(int32_t sectors)
    {
        static const uint8_t kZero[kCDAudioSectorBytes] = {};
        for (int32_t i = 0; i < sectors; ++i)
            Sectors(kZero, 1);
    }

    void Flush()
    {
        if (filled_ > 0)
            sink_.Write(block_.data(), filled_);
        written_ += filled_;
        filled_ = 0;
    }

    int64_t Written() const { return written_; }
    const LAccurateRip& AccurateRip() const { return accurateRip_; }

private:
    LSoundSinkBase& sink_;
    int64_t skip_;
    int64_t left_;
    LAccurateRip accurateRip_;
    std::vector<int32_t> block_;
    int32_t filled_ = 0;
    int64_t written_ = 0;
};

// A sector buffer aligned to 16 bytes, as DMA into it wants.
struct SectorBuffer {
    explicit SectorBuffer(int32_t sectors) : bytes(new (std::align_val_t(16)) uint8_t[size_t(sectors) * kCDAudioSectorBytes]) {}
    ~SectorBuffer() { ::operator delete[](bytes, std::align_val_t(16)); }
    SectorBuffer(const SectorBuffer&) = delete;
    SectorBuffer& operator=(const SectorBuffer&) = delete;
    uint8_t* bytes;
};

class Ripper {
public:
    Ripper(LProgressDialog& dialog, LCDROMRipSectors::Data& data, LSCSI& scsi) : dialog_(dialog), data_(data), scsi_(scsi) {}

    // Starts a READ CD of `count` sectors at `lba` into `buffer`.
    int32_t Start(uint8_t* buffer, int32_t lba, int32_t count)
    {
        ++data_.report.readCommands;
        lba_ = lba;
        count_ = count;
        buffer_ = buffer;
        const LCdb cdb = LMmcCommands::ReadCd(uint32_t(lba), uint8_t(count));
        return scsi_.ExecuteCommandAsync(kScsiRead, uint32_t(count) * kCDAudioSectorBytes, buffer, cdb.bytes, cdb.length);
    }

    // Waits for the read started last; a drive that answers BUSY is asked
    // again while the time-out lasts.
    int32_t Finish()
    {
        int32_t r = scsi_.WaitCommand(LCDROMRipSectors::kReadTimeoutMs, &dialog_);
        if (r == kScsiFailed && scsi_.Status() == kScsiBusy) {
            ++data_.report.readCommands;
            const LCdb cdb = LMmcCommands::ReadCd(uint32_t(lba_), uint8_t(count_));
            r = scsi_.ExecuteCommand(kScsiRead, LCDROMRipSectors::kReadTimeoutMs - LSCSI::kBusyRetryMs,
                                     uint32_t(count_) * kCDAudioSectorBytes, buffer_, cdb, &dialog_);
        }
        return r;
    }

    int32_t Read(uint8_t* buffer, int32_t lba, int32_t count)
    {
        const int32_t r = Start(buffer, lba, count);
        return r == kScsiOk ? Finish() : r;
    }

    // Why the read failed, for the report.
    std::string Why(int32_t lba, int32_t count) const
    {
        return "reading sectors " + std::to_string(lba) + " to " + std::to_string(lba + count - 1) + ": " +
               scsi_.LastError();
    }

    // Whether the drive answered a failed read (a medium error, say) rather
    // than not answering at all: such sectors may read another time.
    bool Answered() const { return scsi_.Status() == kScsiCheckCondition; }

private:
    LProgressDialog& dialog_;
    LCDROMRipSectors::Data& data_;
    LSCSI& scsi_;
    int32_t lba_ = 0, count_ = 0;
    uint8_t* buffer_ = nullptr;
};

// Fast mode: one READ CD in flight while the one before is converted.
int32_t RipFast(LProgressDialog& dialog, Ripper& ripper, Output& out, int32_t first, int32_t end,
                LCDROMRipSectors::Data& data)
{
    SectorBuffer a(LCDROMRipSectors::kSectors), b(LCDROMRipSectors::kSectors);
    uint8_t* ready = a.bytes;
    uint8_t* next = b.bytes;
    const int32_t total = std::max(end - first, 1);
    int32_t at = first;
    int32_t count = std::min(end - at, LCDROMRipSectors::kFirstSectors);
    if (count <= 0)
        return kJobDone;
    int32_t r = ripper.Read(ready, at, count);
    if (r != kScsiOk) {
        data.report.error = ripper.Why(at, count);
        return r;
    }
    at += count;
    for (;;) {
        const int32_t readyCount = count;
        count = std::min(end - at, LCDROMRipSectors::kSectors);
        const bool cancelled = count > 0 && dialog.IsCancelled();
        const bool more = count > 0 && !cancelled;
        if (more && (r = ripper.Start(next, at, count)) != kScsiOk) {
            out.Sectors(ready, readyCount);
            data.report.error = ripper.Why(at, count);
            return r;
        }
        out.Sectors(ready, readyCount);
        dialog.SetProgress(double(at - first) / total);
        if (cancelled)
            return kJobCancelled;
        if (!more)
            return kJobDone;
        if ((r = ripper.Finish()) != kScsiOk) {
            if (r == kScsiFailed)
                data.report.error = ripper.Why(at, count);
            return r;
        }
        at += count;
        std::swap(ready, next);
    }
}

// One sector whose reads disagreed: read again until a majority agrees.
// `reads` are the versions read so far. Returns a job result; `sector` gets
// the kept data, and `agreed` whether a majority of reads agreed on it.
int32_t Resolve(Ripper& ripper, int32_t lba, std::vector<std::vector<uint8_t>> reads, uint8_t* sector, bool& agreed,
                LCDROMRipSectors::Data& data)
{
    struct Version {
        std::vector<uint8_t> bytes;
        int32_t votes = 0;
    };
    std::vector<Version> versions;
    int32_t total = 0;
    auto vote = [&](std::vector<uint8_t> bytes) {
        ++total;
        for (Version& v : versions)
            if (v.bytes == bytes) {
                ++v.votes;
                return;
            }
        versions.push_back({std::move(bytes), 1});
    };
    auto leader = [&]() -> const Version* {
        const Version* best = nullptr;
        for (const Version& v : versions)
            if (!best || v.votes > best->votes)
                best = &v;
        return best;
    };
    for (auto& r : reads)
        vote(std::move(r));
    std::vector<uint8_t> buffer(kCDAudioSectorBytes);
    for (int32_t attempt = 0; attempt < LCDROMRipSectors::kMaxRereads; ++attempt) {
        // Settled once one version has three votes and twice as many as all others.
        if (const Version* best = leader(); best && best->votes >= 3 && best->votes > 2 * (total - best->votes))
            break;
        ++data.report.rereads;
        const int32_t r = ripper.Read(buffer.data(), lba, 1);
        if (r == kScsiCancelled)
            return r;
        if (r == kScsiFailed && !ripper.Answered()) {
            data.report.error = ripper.Why(lba, 1);
            return r;
        }
        if (r == kScsiOk)
            vote(buffer);
    }
    const Version* best = leader();
    agreed = best && best->votes >= 2 && 2 * best->votes > total;
    if (best)
        std::memcpy(sector, best->bytes.data(), kCDAudioSectorBytes);
    else
        std::memset(sector, 0, kCDAudioSectorBytes);
    return kJobDone;
}

// Secure mode: every block read twice and compared.
int32_t RipSecure(LProgressDialog& dialog, Ripper& ripper, Output& out, int32_t first, int32_t end,
                  LCDROMRipSectors::Data& data)
{
    SectorBuffer a(LCDROMRipSectors::kSectors), b(LCDROMRipSectors::kSectors);
    const int32_t total = std::max(end - first, 1);
    for (int32_t at = first; at < end;) {
        if (dialog.IsCancelled())
            return kJobCancelled;
        const int32_t count = std::min(end - at, LCDROMRipSectors::kSectors);
        const int32_t ra = ripper.Read(a.bytes, at, count);
        if (ra == kScsiCancelled || (ra == kScsiFailed && !ripper.Answered())) {
            if (ra == kScsiFailed)
                data.report.error = ripper.Why(at, count);
            return ra;
        }
        const int32_t rb = ripper.Read(b.bytes, at, count);
        if (rb == kScsiCancelled || (rb == kScsiFailed && !ripper.Answered())) {
            if (rb == kScsiFailed)
                data.report.error = ripper.Why(at, count);
            return rb;
        }
        for (int32_t i = 0; i < count; ++i) {
            uint8_t* sa = a.bytes + size_t(i) * kCDAudioSectorBytes;
            const uint8_t* sb = b.bytes + size_t(i) * kCDAudioSectorBytes;
            // A failed block read says nothing of which of its sectors failed.
            if (ra == kScsiOk && rb == kScsiOk && std::memcmp(sa, sb, kCDAudioSectorBytes) == 0)
                continue;
            std::vector<std::vector<uint8_t>> reads;
            if (ra == kScsiOk)
                reads.emplace_back(sa, sa + kCDAudioSectorBytes);
            if (rb == kScsiOk)
                reads.emplace_back(sb, sb + kCDAudioSectorBytes);
            bool agreed = false;
            const int32_t r = Resolve(ripper, at + i, std::move(reads), sa, agreed, data);
            if (r != kJobDone) {
                out.Sectors(a.bytes, i);
                return r;
            }
            if (!agreed)
                data.report.unreadable.push_back(at + i);
        }
        out.Sectors(a.bytes, count);
        at += count;
        dialog.SetProgress(double(at - first) / total);
    }
    return kJobDone;
}

} // namespace

int32_t LCDROMRipSectors::Process(LProgressDialog& dialog, Data& data)
{
    dialog.SetText("Loading " + data.trackName, 0);
    dialog.SetText("Ripping Digital Audio...", 1);
    data.report = Report();
    if (!data.sink || data.sink->IsError() || data.endSector < data.firstSector ||
        data.endSector > uint32_t(INT32_MAX)) {
        data.report.error = "nothing to write the track into";
        return kJobFailed;
    }
    LSCSI scsi;
    if (data.clock)
        scsi.SetClock(data.clock);
    if (!scsi.OpenCDROMDrive(data.drive)) {
        data.report.error = scsi.OpenError();
        return kJobFailed;
    }
    // The frames of the track as the drive delivers them, `readOffset` later.
    const int64_t firstFrame = int64_t(data.firstSector) * kFrames + data.readOffset;
    const int64_t trackFrames = int64_t(data.endSector - data.firstSector) * kFrames;
    const int64_t s0 = FloorDiv(firstFrame, kFrames);
    const int64_t s1 = FloorDiv(firstFrame + trackFrames + kFrames - 1, kFrames);
    int64_t leadOut = data.leadOut;
    if (data.readOffset != 0 && leadOut < 0) {
        LCDToc toc;
        const int32_t r = LCDToc::Read(scsi, toc, &dialog);
        if (r != kScsiOk) {
            data.report.error = "reading the table of contents: " + scsi.LastError();
            return r;
        }
        leadOut = toc.starts.back();
    }
    if (leadOut < 0)
        leadOut = s1;
    const int32_t readFirst = int32_t(std::clamp<int64_t>(s0, 0, leadOut));
    const int32_t readEnd = int32_t(std::clamp<int64_t>(s1, readFirst, leadOut));

    Output out(*data.sink.Get(), firstFrame - s0 * kFrames, trackFrames, data.firstTrack, data.lastTrack);
    out.Silence(int32_t(std::clamp<int64_t>(readFirst - s0, 0, s1 - s0)));
    Ripper ripper(dialog, data, scsi);
    int32_t result = data.secure ? RipSecure(dialog, ripper, out, readFirst, readEnd, data)
                                 : RipFast(dialog, ripper, out, readFirst, readEnd, data);
    if (result == kJobDone)
        out.Silence(int32_t(std::max<int64_t>(s1 - std::max<int64_t>(readEnd, s0), 0)));
    out.Flush();
    data.report.frames = out.Written();
    data.report.accurateRipV1 = out.AccurateRip().V1();
    data.report.accurateRipV2 = out.AccurateRip().V2();
    if (data.sink->IsError()) {
        data.report.error = "the audio could not be written";
        return kJobFailed;
    }
    return result;
}

LCDROMRipSectors::Data LCDROMRipSectors::ForTrack(const LCDDBInfo& disc, size_t index, LSoundSink sink, bool secure,
                                                  int32_t readOffset)
{
    auto audioEnd = [&disc](size_t i) {
        const LCDTrackRecord& t = disc.tracks[i];
        const bool dataNext = i + 1 < disc.tracks.size() && disc.tracks[i + 1].data;
        return dataNext && !t.data && t.end - kSessionGap > t.start ? t.end - kSessionGap : t.end;
    };
    size_t firstAudio = disc.tracks.size(), lastAudio = 0;
    for (size_t i = 0; i < disc.tracks.size(); ++i)
        if (!disc.tracks[i].data) {
            firstAudio = std::min(firstAudio, i);
            lastAudio = i;
        }
    Data data;
    const LCDTrackRecord& track = disc.tracks[index];
    data.drive = disc.drive;
    data.firstSector = uint32_t(track.start);
    data.endSector = uint32_t(audioEnd(index));
    data.sink = std::move(sink);
    data.trackName = track.name;
    data.secure = secure;
    data.readOffset = readOffset;
    data.leadOut = lastAudio < disc.tracks.size() ? audioEnd(lastAudio) : -1;
    data.firstTrack = index == firstAudio;
    data.lastTrack = index == lastAudio;
    return data;
}

int32_t LCDROMRipSectors::ReadOffsetSetting()
{
    return std::clamp(LSettings::ReadInt("CD", "ReadOffset", 0), -kMaxReadOffset, kMaxReadOffset);
}
