#include "cd/LCDBurnDlgModel.h"

#include <algorithm>

#include "cd/LCDBurnToFolder.h"
#include "cd/LCDDrives.h"
#include "cd/LCDMedium.h"
#include "cd/LSCSI.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LSoundTime.h"
#include "core/LUi.h"
#include "core/LProgressDialog.h"
#include "formats/LGenSource.h"

namespace {

std::string TimeOfSectors(int64_t sectors)
{
    return LSoundTime(int32_t(std::min<int64_t>(sectors * 1000 / 75, INT32_MAX))).GetTextSec();
}

} // namespace

LCDBurnDlgModel::LCDBurnDlgModel() : settings(LCDBurnSettings::Read()) {}

void LCDBurnDlgModel::AddTrack(const std::string& title, const LSoundSource& source)
{
    tracks_.push_back({title, source});
    frames_.push_back(std::max(LCDBurnAudioSCSI::DiscSource(source)->GetLength(), 0));
}

bool LCDBurnDlgModel::AddFile(const std::string& path, uint8_t* askOnce)
{
    LSoundSource source;
    if (LGenSourceOpen(source, path, askOnce) != 0 || source->GetError() != kSrcGood)
        return false;
    std::string title = GetFileFromPath(path);
    const std::string ext = GetFileExtension(title);
    title.resize(title.size() - ext.size());
    AddTrack(title, source);
    return true;
}

void LCDBurnDlgModel::RemoveTrack(size_t index)
{
    if (index >= tracks_.size())
        return;
    tracks_.erase(tracks_.begin() + std::ptrdiff_t(index));
    frames_.erase(frames_.begin() + std::ptrdiff_t(index));
}

bool LCDBurnDlgModel::MoveTrack(size_t index, int32_t step)
{
    const int64_t to = int64_t(index) + step;
    if (index >= tracks_.size() || to < 0 || to >= int64_t(tracks_.size()) || step == 0)
        return false;
    std::swap(tracks_[index], tracks_[size_t(to)]);
    std::swap(frames_[index], frames_[size_t(to)]);
    return true;
}

void LCDBurnDlgModel::RenameTrack(size_t index, const std::string& title)
{
    if (index < tracks_.size())
        tracks_[index].title = title;
}

std::string LCDBurnDlgModel::TrackDuration(size_t index) const
{
    LSoundTime t;
    t.SetSamples(frames_[index], 44100);
    return t.GetTextSec();
}

int32_t LCDBurnDlgModel::SectorsNeeded() const
{
    return LCDBurnAudioSCSI::SectorsNeeded(frames_, settings.discAtOnce);
}

std::string LCDBurnDlgModel::TotalText() const { return TimeOfSectors(SectorsNeeded()); }

std::vector<LCDBurnDlgModel::Drive> LCDBurnDlgModel::Drives()
{
    std::vector<Drive> drives;
    for (const LCDDrives::Info& info : LCDDrives::List()) {
        Drive d;
        d.label = LCDDrives::Describe(info);
        d.error = info.error;
        LSCSI scsi;
        if (d.error.empty() && scsi.OpenCDROMDrive(uint8_t(info.index))) {
            LCDRecorder recorder(scsi, nullptr);
            uint8_t page5[52];
            LCDDriveCapabilities caps;
            // Without a capabilities page a drive with write parameters is taken for a CD-R writer.
            d.canWrite = recorder.ReadWriteParameters(page5) == kScsiOk &&
                         (recorder.ReadCapabilities(caps) != kScsiOk || caps.CanWriteCDR());
        } else if (d.error.empty()) {
            d.error = scsi.OpenError();
        }
        drives.push_back(d);
    }
    return drives;
}

bool LCDBurnDlgModel::AnyRecorder()
{
    for (const Drive& d : Drives())
        if (d.canWrite)
            return true;
    return false;
}

LCDBurnDlgModel::Disc LCDBurnDlgModel::ProbeDisc()
{
    Disc disc;
    LSCSI scsi;
    if (!scsi.OpenCDROMDrive(settings.drive)) {
        disc.description = "cannot be used: " + scsi.OpenError();
        return disc;
    }
    disc.description = LCDMedium::Describe(scsi);
    LCDRecorder recorder(scsi, nullptr);
    LCDDiscInformation info;
    if (recorder.ReadDiscInformation(info) != kScsiOk)
        return disc;
    // A CD-RW that is written can be erased first; a written CD-R cannot be used.
    disc.present = info.Blank() || info.Erasable();
    if (disc.present)
        recorder.Capacity(info, disc.capacitySectors, disc.source);
    return disc;
}

std::string LCDBurnDlgModel::TotalAgainst(const Disc& disc) const
{
    std::string text = "Total " + TotalText();
    if (disc.present)
        text += std::string(" of ") + TimeOfSectors(disc.capacitySectors) + " (" +
                LCDRecorder::CapacitySourceText(disc.source) + ")";
    return text;
}

int32_t LCDBurnDlgModel::Burn()
{
    last_ = LCDBurnAudioSCSI::Data();
    last_.tracks = tracks_;
    last_.albumTitle = albumTitle;
    last_.settings = settings;
    int32_t result;
    if (settings.internal) {
        if (!AnyRecorder()) {
            LUiGet().Message(kNoRecorder, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
            return kJobFailed;
        }
        result = RunJobOnWorker(kTitle, [this](LProgressDialog& dialog) {
            return LCDBurnAudioSCSI::Process(dialog, last_);
        });
    } else {
        result = RunJob(kTitle, [this](LProgressDialog& dialog) { return LCDBurnToFolder::Process(dialog, last_); });
    }
    if (result == kJobFailed && !last_.message.empty())
        LUiGet().Message(last_.message, "Error", LUiButtons::Ok, LUiIcon::Exclamation);
    else if (result == kJobDone && !last_.report.empty())
        LUiGet().Message(last_.report, kTitle, LUiButtons::Ok, LUiIcon::Information);
    return result;
}
