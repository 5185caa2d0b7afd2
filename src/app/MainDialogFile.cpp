// File commands of the main window: New, Open, Save, Save As, Close, Close All,
// Exit and the recent files.
#include <algorithm>
#include <ctime>
#include <strings.h>

#include "app/LKVCommands.h"
#include "app/LRecentFiles.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "formats/KVLoadFile.h"
#include "formats/LGenSource.h"
#include "formats/LKVSaveToSink.h"

namespace S = LKVSettings;

namespace {

constexpr int32_t kMinNewRate = 6000;
constexpr int32_t kMaxNewRate = 96000;

bool IsRealAudio(const std::string& path)
{
    const std::string ext = LGenExtension(path);
    for (const char* e : {".ra", ".ram", ".rm"})
        if (strcasecmp(ext.c_str(), e) == 0)
            return true;
    return false;
}

} // namespace

LKVFile& MainDialog::AddNewDocument(std::unique_ptr<LKVFile> doc, bool keepDisplay)
{
    if (!keepDisplay)
        doc->displayMode = uint8_t(std::clamp(S::kWaveDisplayMode.Read(), 0, 3));
    documents_.push_back(std::move(doc));
    LKVFile& added = *documents_.back();
    RecordDocument(added);
    if (view_)
        view_->DocumentOpened(added);
    SetCurrentFile(&added);
    return added;
}

LKVFile* MainDialog::CmNewFile()
{
    int32_t rate = 0;
    uint8_t channels = 1;
    if (S::kPromptSampleAndChannels.Read()) {
        rate = S::kSelectedSampleRate.Read();
        channels = S::kSelectedChannels.Read() == 2 ? 2 : 1;
        for (;;) {
            if (!LUiGet().NewFileDialog(rate, channels))
                return nullptr;
            if (rate >= kMinNewRate && rate <= kMaxNewRate && (channels == 1 || channels == 2))
                break;
            if (rate < kMinNewRate || rate > kMaxNewRate)
                LUiGet().Message("Sample rates must be between 6000 and 96000 samples per second.", kErrorCaption,
                                 LUiButtons::Ok, LUiIcon::Stop);
            else
                LUiGet().Message("A new file has one channel (mono) or two (stereo).", kErrorCaption, LUiButtons::Ok,
                                 LUiIcon::Stop);
        }
        S::kSelectedSampleRate.Write(rate);
        S::kSelectedChannels.Write(channels);
    } else {
        // Stored defaults outside the new-file limits would make a document no
        // dialog could have made; the built-in defaults apply instead.
        rate = S::kDefaultSampleRate.Read();
        if (rate < kMinNewRate || rate > kMaxNewRate)
            rate = S::kDefaultSampleRate.def;
        channels = S::kDefaultChannels.Read() == 2 ? 2 : 1;
    }
    auto doc = std::make_unique<LKVFile>();
    doc->untitledNumber = GetUntitledIdx();
    doc->audio.sampleRate = rate;
    doc->audio.channels = channels;
    return &AddNewDocument(std::move(doc));
}

bool MainDialog::AskFileName(const LUiFileRequest& request, const LSettingString& folder, std::string& path)
{
    LUiFileRequest r = request;
    r.folder = folder.Read();
    path.clear();
    if (!LUiGet().FileDialog(r, path) || path.empty())
        return false;
    folder.Write(GetFolderFromPath(path));
    return true;
}

bool MainDialog::AskSavePath(LUiFileRequest request, const LSettingString& folder, const std::string& question,
                             std::string& path)
{
    request.save = true;
    request.folder = folder.Read();
    for (;;) {
        path.clear();
        if (!LUiGet().FileDialog(request, path) || path.empty())
            return false;
        if (!request.defaultExtension.empty() && GetFileExtension(GetFileFromPath(path)).empty())
            path += request.defaultExtension;
        folder.Write(GetFolderFromPath(path));
        if (!FileExists(path) ||
            LUiGet().Message(question, kAppCaption, LUiButtons::YesNo, LUiIcon::Question) == LUiAnswer::Yes)
            return true;
        request.folder = GetFolderFromPath(path);
        request.fileName = GetFileFromPath(path);
    }
}

LKVFile* MainDialog::CmOpen()
{
    LUiFileRequest request{"Open Audio File", {}, {}, LKVAudioFileFilters(), false, {}};
    std::string path;
    if (!AskFileName(request, S::kOpenFileDir, path))
        return nullptr;
    return OpenFile(path);
}

LKVFile* MainDialog::OpenFile(const std::string& path)
{
    for (const auto& d : documents_)
        if (d->path == path) {
            SetCurrentFile(d.get());
            return d.get();
        }
    auto doc = std::make_unique<LKVFile>();
    doc->path = path;
    uint8_t askOnce = 1;
    KVLoadFile::Data data{path, &doc->audio, &askOnce};
    // A cancelled load is dropped as well: a document holding part of a file
    // would overwrite the whole file with that part when saved.
    if (RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, data); }) !=
        kJobDone)
        return nullptr;
    doc->pos.viewEnd = doc->audio.GetLength();
    LKVFile& added = AddNewDocument(std::move(doc));
    if (LKVReadBookMarkFile(path, bookmarks_) == LKVBookMarkRead::Corrupt)
        LUiGet().Message(kFileVersionMessage, "File Error", LUiButtons::Ok, LUiIcon::Exclamation);
    RecordDocument(added);
    if (view_)
        view_->BookMarksChanged();
    if (S::kPlayWhenOpen.Read())
        PlayAudio(added.audio, 0, &added);
    return &added;
}

void MainDialog::WriteBookMarkFile(const std::string& audioPath)
{
    const std::string quoted = "\"" + audioPath + "\"";
    switch (LKVWriteBookMarkFile(audioPath, bookmarks_)) {
    case LKVBookMarkWrite::TooMany:
        LUiGet().Message("The bookmarks of " + quoted +
                             " were not saved: a bookmark file holds at most 255 bookmarks. Delete some and save "
                             "again.",
                         kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
        break;
    case LKVBookMarkWrite::TextTooLong:
        LUiGet().Message("The bookmarks of " + quoted +
                             " were not saved: a bookmark name or the path is longer than a bookmark file can "
                             "hold (259 bytes).",
                         kErrorCaption, LUiButtons::Ok, LUiIcon::Exclamation);
        break;
    case LKVBookMarkWrite::Failed:
        LUiGet().Message("Kelvane could not save the bookmarks of " + quoted + ".", kErrorCaption, LUiButtons::Ok,
                         LUiIcon::Exclamation);
        break;
    default: break;
    }
}

void MainDialog::RefileBookMarks(const std::string& from, const std::string& to)
{
    for (LKVBookMark& b : bookmarks_)
        if (b.path == from)
            b.path = to;
    for (LKVRegion& r : regions_)
        if (r.path == from)
            r.path = to;
    if (view_) {
        view_->BookMarksChanged();
        view_->RegionsChanged();
    }
}

int32_t MainDialog::SaveListTo(const LCutListAudio& audio, const std::string& path)
{
    LKVSaveToSink::Data data{&audio, path, false};
    return RunJob("Saving...", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, data); });
}

bool MainDialog::CmSave() { return current_ && SaveDocument(*current_); }

bool MainDialog::CmSaveAs() { return current_ && SaveDocumentAs(*current_); }

bool MainDialog::SaveDocument(LKVFile& doc)
{
    if (doc.path.empty())
        return SaveDocumentAs(doc);
    WriteBookMarkFile(doc.path);
    if (IsRealAudio(doc.path)) {
        if (LUiGet().Message("Saving in real audio file format is not supported. Do you want to save in another "
                             "format (wav, mp3, gsm, vox) instead?",
                             kAppCaption, LUiButtons::YesNo, LUiIcon::Question) == LUiAnswer::Yes)
            return SaveDocumentAs(doc);
        return false;
    }
    if (SaveListTo(doc.audio, doc.path) != kJobDone)
        return false;
    doc.MarkSaved();
    recovery_.Remove(doc);
    if (view_ && &doc == current_)
        view_->SaveEnabledChanged(false);
    return true;
}

bool MainDialog::SaveDocumentAs(LKVFile& doc)
{
    // A title that never was a file name (a CD track's "AC/DC") would name a
    // folder: the proposed name has no "/".
    std::string proposed = doc.GetTitle();
    std::replace(proposed.begin(), proposed.end(), '/', '_');
    LUiFileRequest request{"Save Audio File As", {}, proposed, LKVSaveAudioFileFilters(), true, {},
                           true, doc.audio.sampleRate, doc.audio.channels};
    std::string path;
    if (!AskSavePath(request, S::kSaveAsDir, kReplaceFileQuestion, path))
        return false;
    return SaveDocumentTo(doc, path);
}

bool MainDialog::SaveDocumentTo(LKVFile& doc, const std::string& path)
{
    // The document keeps its name until the file is written, so a failed save
    // leaves it (and its bookmarks) under the old one.
    if (SaveListTo(doc.audio, path) != kJobDone)
        return false;
    const std::string old = doc.GetPathOrTitle();
    doc.previousPath = doc.path;
    doc.path = path;
    RefileBookMarks(old, path);
    WriteBookMarkFile(path);
    doc.MarkSaved();
    recovery_.Remove(doc);
    if (view_) {
        view_->DocumentChanged(doc);
        if (&doc == current_)
            view_->SaveEnabledChanged(false);
    }
    return true;
}

void MainDialog::CloseDocumentNow(LKVFile& doc)
{
    if (!doc.path.empty())
        LRecentFiles::Add(doc.path, int64_t(std::time(nullptr)));
    if (view_)
        view_->DocumentClosing(doc);
    RemoveDocument(&doc);
}

bool MainDialog::CloseFile(LKVFile& doc)
{
    if (doc.modified) {
        const LUiAnswer a = LUiGet().Message("Save changes to \"" + doc.GetPathOrTitle() + "\"?", kAppCaption,
                                             LUiButtons::YesNoCancel, LUiIcon::Question);
        if (a == LUiAnswer::Cancel)
            return false;
        // A save that fails or is cancelled keeps the document: its changes exist nowhere else.
        if (a == LUiAnswer::Yes && !SaveDocument(doc))
            return false;
    }
    CloseDocumentNow(doc);
    return true;
}

bool MainDialog::CmClose() { return current_ && CloseFile(*current_); }

bool MainDialog::CmCloseAll()
{
    while (!documents_.empty())
        if (!CloseFile(*documents_.front()))
            return false;
    return true;
}

bool MainDialog::CmExit()
{
    if (OfferToSaveProject(true) == ProjectOffer::Cancelled)
        return false;
    if (!CmCloseAll())
        return false;
    StopPlayback();
    return true;
}

LKVFile* MainDialog::CmOpenRecent(int32_t command)
{
    const std::string path = LRecentFiles::PathOf(command);
    return path.empty() ? nullptr : OpenFile(path);
}
