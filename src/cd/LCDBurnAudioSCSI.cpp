#include "cd/LCDBurnAudioSCSI.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "cd/LCDAddress.h"
#include "core/ByteOrder.h"
#include "core/LProgressDialog.h"
#include "core/LSoundTime.h"
#include "core/LSourceProcessor.h"
#include "core/SampleConvert.h"

namespace {

std::string Printf(const char* format, const std::string& a, const std::string& b = {})
{
    char text[512];
    std::snprintf(text, sizeof text, format, a.c_str(), b.c_str());
    return text;
}

std::string TimeOfSectors(int64_t sectors)
{
    LSoundTime t(int32_t(std::min<int64_t>(sectors * 1000 / kCDFramesPerSecond, INT32_MAX)));
    return t.GetTextSec();
}

} // namespace

LCDBurnAudioSCSI::LCDBurnAudioSCSI(LProgressDialog& dialog, Data& data) : dialog_(dialog), data_(data) {}

int32_t LCDBurnAudioSCSI::Process(LProgressDialog& dialog, Data& data)
{
    data.message.clear();
    data.report.clear();
    data.trackStarts.clear();
    LCDBurnAudioSCSI burn(dialog, data);
    return burn.Run();
}

LSoundSource LCDBurnAudioSCSI::DiscSource(const LSoundSource& source)
{
    // The rate first: a mono source is resampled before it is doubled.
    LSoundSource s = LSPConvRate(44100).OpenSource(source);
    s = LSPConvChannels(2).OpenSource(s);
    s = LSPPeakLimit(kFullScale16).OpenSource(s);
    s->Seek(0);
    return s;
}

int32_t LCDBurnAudioSCSI::ChunkSectors(int64_t remainingFrames)
{
    if (remainingFrames <= 0)
        return 0;
    return int32_t(std::min<int64_t>(kMaxChunkSectors, (remainingFrames + kChunkFrames - 1) / kChunkFrames));
}

void LCDBurnAudioSCSI::WriteParametersPage(uint8_t* page, bool discAtOnce, bool testWrite, bool bufferUnderrunFree)
{
    std::memset(page, 0, 52);
    page[0] = 0x05;
    page[1] = 0x32;
    page[2] = uint8_t((discAtOnce ? 0x02 : 0x01) | (testWrite ? 0x10 : 0x00) | (bufferUnderrunFree ? 0x40 : 0x00));
    page[3] = discAtOnce ? 0x00 : 0x40;  // track mode 0: two-channel audio
    page[4] = 0;                         // raw 2352-byte blocks
    PutBE16(page + 14, kCDLeadInPause);  // audio pause of two seconds
}

void LCDBurnAudioSCSI::Fail(const std::string& message)
{
    if (!failed_)
        data_.message = message;
    failed_ = true;
}

int32_t LCDBurnAudioSCSI::SectorsNeeded(const std::vector<int32_t>& frames, bool discAtOnce)
{
    int64_t sectors = 0, all = 0;
    for (int32_t f : frames) {
        sectors += SectorsOf(f);
        all += f;
    }
    if (discAtOnce)
        return int32_t(std::min<int64_t>(SectorsOf(all), INT32_MAX));
    if (!frames.empty())
        sectors += int64_t(kCDLeadInPause) * int64_t(frames.size() - 1);
    return int32_t(std::min<int64_t>(sectors, INT32_MAX));
}

int32_t LCDBurnAudioSCSI::Run()
{
    const size_t count = data_.tracks.size();
    if (count == 0) {
        Fail("There are no tracks to write to the CD.");
        return kJobFailed;
    }
    if (count > size_t(kMaxTracks)) {
        Fail("An audio CD holds at most 99 tracks, and you are trying to write " + std::to_string(count) + ".");
        return kJobFailed;
    }
    for (size_t i = 0; i < count; ++i) {
        if (data_.tracks[i].source->GetError() != kSrcGood) {
            Fail("Track " + std::to_string(i + 1) + " (\"" + data_.tracks[i].title +
                 "\") cannot be read, so nothing was written to the CD.");
            return kJobFailed;
        }
    }

    scsi_.SetClock(data_.clock);
    std::string message;
    int32_t r = LCDDriveCheck::Run(scsi_, &dialog_, data_.settings, check_, message);
    if (r != kScsiOk) {
        if (r == kScsiFailed)
            Fail(message);
        return r;
    }
    recorder_ = std::make_unique<LCDRecorder>(scsi_, &dialog_);

    totalFrames_ = 0;
    for (const LCDBurnTrack& t : data_.tracks) {
        disc_.push_back(DiscSource(t.source));
        frames_.push_back(std::max(disc_.back()->GetLength(), 0));
        totalFrames_ += frames_.back();
        if (frames_.back() == 0) {
            Fail("Track " + std::to_string(disc_.size()) + " (\"" + t.title +
                 "\") holds no audio. A CD cannot hold an empty track.");
            return kJobFailed;
        }
    }

    r = recorder_->Capacity(check_.disc, data_.capacitySectors, data_.capacitySource);
    if (r != kScsiOk)
        return r;
    const int32_t needed = SectorsNeeded(frames_, data_.settings.discAtOnce);
    if (!data_.settings.overburn && needed > data_.capacitySectors) {
        Fail(Printf(kCapacityMessage, TimeOfSectors(data_.capacitySectors), TimeOfSectors(needed)));
        return kJobFailed;
    }
    // From here on nothing a command waits for is abandoned halfway: Cancel is
    // looked at between writes, and a track that was begun is closed.
    recorder_->SetCancellable(false);
    return data_.settings.discAtOnce ? DiscAtOnce() : TrackAtOnce();
}

int32_t LCDBurnAudioSCSI::TrackAtOnce()
{
    uint8_t page[52];
    WriteParametersPage(page, false, data_.settings.simulate, check_.capabilities.bufferUnderrunFree);
    std::vector<uint8_t> buffer(size_t(kMaxChunkSectors) * kCDAudioSectorBytes);
    std::vector<int32_t> scratch;
    for (size_t i = 0; i < disc_.size(); ++i) {
        if (dialog_.IsCancelled())
            return kJobCancelled;
        const std::string number = std::to_string(i + 1);
        dialog_.SetText("Burning Track " + number, 0);
        dialog_.SetText(data_.tracks[i].title, 1);
        if (recorder_->SetWriteParameters(page) != kScsiOk) {
            Fail("The CD drive refused the write parameters of track " + number + " (" + DriveError() + ").");
            break;
        }
        LCDTrackInformation track;
        if (recorder_->ReadLastTrackInformation(track) != kScsiOk || !track.nwaValid) {
            Fail("The CD drive did not tell where track " + number + " can be written (" +
                 (scsi_.LastError().empty() ? std::string("no next writable address") : DriveError()) + ").");
            break;
        }
        int32_t address = track.nextWritable;
        data_.trackStarts.push_back(address);
        written_.push_back({address, 0, i, 1});
        LSoundSourceBase& source = *disc_[i];
        bool cancelled = false;
        for (;;) {
            const int64_t remaining = int64_t(source.GetLength()) - int64_t(source.GetPosition());
            const int32_t n = ChunkSectors(remaining);
            if (n == 0)
                break;
            LCDAudioStream::ReadPcm(source, buffer.data(), n * kCDFrames, scratch);
            if (recorder_->WriteSectors(buffer.data(), uint8_t(n), address, kCDAudioSectorBytes) != kScsiOk) {
                Fail("Writing track " + number + " to the CD failed at sector " + std::to_string(address) + " (" +
                     DriveError() + ").");
                break;
            }
            address += n;
            written_.back().sectors += n;
            doneFrames_ += int64_t(n) * kCDFrames;
            dialog_.SetProgress(totalFrames_ > 0 ? double(doneFrames_) / double(totalFrames_) : 1.0);
            if (dialog_.IsCancelled()) {
                cancelled = true;
                break;
            }
        }
        // Closes the track, also one cut short.
        if (recorder_->SynchronizeCache() != kScsiOk)
            Fail("Finishing track " + number + " on the CD failed (" + DriveError() + ").");
        if (cancelled)
            return kJobCancelled;
        if (failed_)
            break;
    }
    return Finish(true);
}

int32_t LCDBurnAudioSCSI::Finish(bool closeSession)
{
    dialog_.SetText("Writing Lead-in/Lead-out", 0);
    dialog_.SetText("Please wait...", 1);
    if (closeSession && recorder_->CloseSession() != kScsiOk)
        Fail("Closing the session of the CD failed (" + DriveError() + ").");
    if (recorder_->SynchronizeCache() != kScsiOk)
        Fail("Finishing the CD failed (" + DriveError() + ").");
    if (!failed_ && data_.settings.simulate)
        data_.report = "The test write went through without an error. Nothing was written to the CD.";
    else if (!failed_ && data_.settings.verify)
        Verify();
    recorder_->LoadOrEject(false);
    return failed_ ? kJobFailed : kJobDone;
}
