// Regions of the main window: Add Region and the region window's commands.
#include <algorithm>

#include "app/LKVBinary.h"
#include "app/KVBatchConverter.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "cd/LCDBurnDlgModel.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LSoundTime.h"
#include "edit/LCLAConvertRateChannels.h"
#include "edit/LSRCCutListAudio.h"

namespace S = LKVSettings;

bool MainDialog::CmAddRegion()
{
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        return false;
    LKVFile& doc = *current_;
    const int32_t rate = doc.audio.sampleRate;
    const int32_t startMs = LKVFramesToMs(start, rate);
    const int32_t endMs = LKVFramesToMs(end, rate);
    const std::string title = doc.GetTitle();
    std::string name = title.substr(0, title.size() - GetFileExtension(title).size()) + "@" +
                       LSoundTime(startMs).GetTextCs() + "-" + LSoundTime(endMs).GetTextCs();
    size_t replace = regions_.size();
    for (;;) {
        replace = regions_.size();
        if (!LUiGet().TextDialog("Enter Region Name", name) || name.empty())
            return false;
        if (!LKVTextFits(name)) {
            LKVNameTooLong();
            continue;
        }
        for (size_t i = 0; i < regions_.size(); ++i)
            if (regions_[i].name == name)
                replace = i;
        if (replace == regions_.size())
            break;
        const LUiAnswer a =
            LUiGet().Message("Another region with the same name already exists. Do you want to replace it?",
                             kAppCaption, LUiButtons::YesNoCancel, LUiIcon::Question);
        if (a == LUiAnswer::Yes)
            break;
        if (a == LUiAnswer::Cancel)
            return false;
    }
    LKVRegion region;
    region.name = name;
    region.path = doc.GetPathOrTitle();
    region.startMs = uint32_t(startMs);
    region.endMs = uint32_t(endMs);
    doc.audio.EfCopy(start, end, region.audio);
    if (replace < regions_.size())
        regions_[replace] = std::move(region);
    else
        regions_.push_back(std::move(region));
    RecordMarks(&doc);
    if (view_)
        view_->RegionsChanged();
    return true;
}

void MainDialog::PlayRegion(size_t index)
{
    if (index >= regions_.size())
        return;
    PlayAudio(regions_[index].audio, 0, nullptr);
}

void MainDialog::GoToRegion(size_t index)
{
    if (index >= regions_.size())
        return;
    const LKVRegion& r = regions_[index];
    auto doc = std::find_if(documents_.begin(), documents_.end(),
                            [&](const auto& d) { return d->GetPathOrTitle() == r.path; });
    if (doc == documents_.end())
        return;
    LKVFile& file = **doc;
    SetCurrentFile(&file);
    const int32_t rate = file.audio.sampleRate;
    const int32_t length = file.audio.GetLength();
    const int32_t start = std::clamp(LKVMsToFrames(r.startMs, rate), 0, length);
    const int32_t end = std::clamp(LKVMsToFrames(r.endMs, rate), start, length);
    SetSelection(start, end, start);
}

bool MainDialog::CheckRegionFileNames(const std::vector<size_t>& indexes) const
{
    for (size_t index : indexes) {
        if (index >= regions_.size() || LKVIsValidFileName(regions_[index].name))
            continue;
        LUiGet().Message("The name of the region \"" + regions_[index].name +
                             "\" contains characters that are not valid for a file name. Please rename the region.",
                         "File Name Invalid", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    return true;
}

bool MainDialog::RegionsToCD(const std::vector<size_t>& indexes, LCDBurnDlgModel& model) const
{
    // Tracks are named like the files a CD writing program would be given.
    if (!CheckRegionFileNames(indexes))
        return false;
    for (size_t index : indexes)
        if (index < regions_.size())
            model.AddTrack(regions_[index].name, MakeSource<LSRCCutListAudio>(regions_[index].audio));
    return !model.Tracks().empty();
}

bool MainDialog::FilesToCD(const std::vector<std::string>& paths, LCDBurnDlgModel& model)
{
    uint8_t askOnce = 1;
    for (const std::string& path : paths)
        if (!model.AddFile(path, &askOnce))
            return false;
    return !model.Tracks().empty();
}

bool MainDialog::SaveRegion(size_t index)
{
    if (index >= regions_.size())
        return false;
    const LCutListAudio& audio = regions_[index].audio;
    LUiFileRequest request{"Save Region As", {}, regions_[index].name, LKVSaveAudioFileFilters(), true, {},
                           true, audio.sampleRate, audio.channels};
    std::string path;
    if (!AskSavePath(request, S::kSaveRegionDir, kReplaceFileQuestion, path))
        return false;
    return SaveListTo(regions_[index].audio, path) == kJobDone;
}

int32_t MainDialog::ExportRegions(const std::vector<size_t>& indexes)
{
    if (indexes.empty())
        return 0;
    std::string folder = S::kExportRegionFolder.Read();
    int32_t format = S::kExportRegionFormat.Read();
    for (;;) {
        if (!LUiGet().ExportRegionDialog(folder, format))
            return 0;
        if (folder.empty() || !FolderExists(folder)) {
            LUiGet().Message("The export folder is invalid. Please select a valid folder.", kErrorCaption,
                             LUiButtons::Ok, LUiIcon::Exclamation);
            continue;
        }
        if (format < 0 || size_t(format) >= LKVBatchOutput::kFormats.size()) {
            LUiGet().Message("Please select an output format.", kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
            continue;
        }
        break;
    }
    S::kExportRegionFolder.Write(folder);
    S::kExportRegionFormat.Write(format);
    // Region export shares the batch converter's format table: both store an index into it.
    const std::string ext = LKVBatchOutput::kFormats[size_t(format)];
    int32_t written = 0;
    for (size_t index : indexes) {
        if (index >= regions_.size())
            continue;
        const LKVRegion& region = regions_[index];
        // The name becomes a file name: a separator in it would write elsewhere.
        if (!CheckRegionFileNames({index}))
            continue;
        const std::string path = FilePathCat(folder, region.name + ext);
        if (FileExists(path) &&
            LUiGet().Message("The region \"" + region.name +
                                 "\" already exists in the output folder. Do you want to replace it?",
                             kAppCaption, LUiButtons::YesNo, LUiIcon::Question) != LUiAnswer::Yes)
            continue;
        const int32_t result = SaveListTo(region.audio, path);
        if (result == kJobDone)
            ++written;
        else if (result == kJobCancelled)
            break;
    }
    return written;
}

LKVFile* MainDialog::CopyRegionToNew(size_t index)
{
    if (index >= regions_.size())
        return nullptr;
    auto doc = std::make_unique<LKVFile>();
    doc->untitledNumber = GetUntitledIdx();
    doc->audio = regions_[index].audio;
    doc->pos.viewEnd = doc->audio.GetLength();
    doc->modified = true;
    return &AddNewDocument(std::move(doc));
}

LKVFile* MainDialog::CmAssembleRegions(std::vector<size_t> start)
{
    if (regions_.empty())
        return nullptr;
    std::vector<std::string> names;
    for (const LKVRegion& r : regions_)
        names.push_back(r.name);
    std::vector<size_t> order;
    for (size_t index : start)
        if (index < regions_.size())
            order.push_back(index);
    if (!LUiGet().AssembleRegionsDialog(names, order))
        return nullptr;
    return AssembleRegions(order);
}

LKVFile* MainDialog::AssembleRegions(const std::vector<size_t>& order)
{
    if (order.empty())
        return nullptr;
    for (size_t index : order)
        if (index >= regions_.size())
            return nullptr;
    LCutListAudio result = regions_[order[0]].audio;
    const bool gap = S::kAutoGap.Read();
    const int32_t gapFrames = LKVMsToFrames(std::max(0, S::kAutoGapTime.Read()), result.sampleRate);
    for (size_t k = 1; k < order.size(); ++k) {
        if (gap)
            result.EfInsertSilence(result.GetLength(), gapFrames);
        LCutListAudio part = regions_[order[k]].audio;
        LCLAConvertRateChannels::Data convert{&part, result.sampleRate, result.channels};
        if (RunJob("Insert File", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, convert); }) !=
            kJobDone)
            return nullptr;
        result.EfInsert(result.GetLength(), part);
    }
    auto doc = std::make_unique<LKVFile>();
    doc->untitledNumber = GetUntitledIdx();
    doc->audio = std::move(result);
    doc->pos.viewEnd = doc->audio.GetLength();
    doc->modified = true;
    return &AddNewDocument(std::move(doc));
}

bool MainDialog::RenameRegion(size_t index)
{
    if (index >= regions_.size())
        return false;
    std::string name = regions_[index].name;
    for (;;) {
        if (!LUiGet().TextDialog("Rename Region", name) || name.empty())
            return false;
        if (!LKVTextFits(name)) {
            LKVNameTooLong();
            continue;
        }
        size_t other = regions_.size();
        for (size_t i = 0; i < regions_.size(); ++i)
            if (i != index && regions_[i].name == name)
                other = i;
        if (other < regions_.size()) {
            const LUiAnswer a =
                LUiGet().Message("Another region with the same name already exists. Do you want to replace it?",
                                 kAppCaption, LUiButtons::YesNoCancel, LUiIcon::Question);
            if (a == LUiAnswer::Cancel)
                return false;
            if (a != LUiAnswer::Yes)
                continue;
            regions_[index].name = name;
            regions_.erase(regions_.begin() + std::ptrdiff_t(other));
        } else {
            regions_[index].name = name;
        }
        RecordMarks(nullptr);
        if (view_)
            view_->RegionsChanged();
        return true;
    }
}

bool MainDialog::DeleteRegions(std::vector<size_t> indexes)
{
    if (indexes.empty() || LUiGet().Message("Delete the selected region(s)?", "Confirm Delete", LUiButtons::YesNo,
                                            LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    const bool erased = LKVEraseIndexes(regions_, std::move(indexes));
    RecordMarks(nullptr);
    if (erased && view_)
        view_->RegionsChanged();
    return erased;
}

bool MainDialog::DeleteAllRegions()
{
    if (regions_.empty() || LUiGet().Message("Delete all selected region(s)?", "Confirm Delete All",
                                             LUiButtons::YesNo, LUiIcon::Question) != LUiAnswer::Yes)
        return false;
    regions_.clear();
    RecordMarks(nullptr);
    if (view_)
        view_->RegionsChanged();
    return true;
}
