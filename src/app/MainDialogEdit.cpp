// Edit commands of the main window and the clipboards.
#include <algorithm>
#include <unistd.h>

#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "edit/LCLAConvertRateChannels.h"
#include "formats/KVLoadFile.h"
#include "formats/LKVSaveToSink.h"

namespace S = LKVSettings;

namespace {

std::string ClipboardFilePath() { return FilePathCat(LSettings::GetFolder("Current"), "clipboard.wav"); }

// `start` + `frames`, limited to the 32-bit range of positions.
int32_t EndOf(int32_t start, int32_t frames) { return int32_t(std::min<int64_t>(int64_t(start) + frames, INT32_MAX)); }

// Converts `list` to the rate and channels of `doc` under a job titled `title`.
int32_t MatchFormat(LCutListAudio& list, const LKVFile& doc, const std::string& title)
{
    LCLAConvertRateChannels::Data data{&list, doc.audio.sampleRate, doc.audio.channels};
    if (list.sampleRate == data.sampleRate && list.channels == data.channels)
        return kJobDone;
    return RunJob(title, [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, data); });
}

} // namespace

bool MainDialog::ClampedSelection(int32_t& start, int32_t& end) const
{
    if (!current_)
        return false;
    const int32_t length = current_->audio.GetLength();
    start = std::clamp(current_->pos.selStart, 0, length);
    end = std::clamp(current_->pos.selEnd, 0, length);
    return start < end;
}

void MainDialog::OfferClipboard()
{
    LKVClipboardPort& port = clipboardPort_ ? *clipboardPort_ : localClipboard_;
    port.OfferWave([this](std::vector<uint8_t>& bytes) { return RenderClipboardWave(bytes); });
}

void MainDialog::CmCut()
{
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        return;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Cut");
    doc.audio.EfCut(start, end, clipboard_);
    SetSelection(start, start, start);
    EndModifyCurrentFile(start, doc.audio.sampleRate);
    OfferClipboard();
}

void MainDialog::CmCopy()
{
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        return;
    current_->audio.EfCopy(start, end, clipboard_);
    OfferClipboard();
}

void MainDialog::PasteList(LCutListAudio list)
{
    LKVFile& doc = *current_;
    // Cuts name segments in the clipboard's own format; inserted unconverted into
    // a document of another format they would read as noise.
    if (MatchFormat(list, doc, "Paste") != kJobDone)
        return;
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        start = end = std::clamp(doc.pos.cursor, 0, doc.audio.GetLength());
    StartModifyCurrentFile("Paste");
    doc.audio.EfReplace(start, end, list);
    SetSelection(start, EndOf(start, list.GetLength()), start);
    EndModifyCurrentFile(start, doc.audio.sampleRate);
}

void MainDialog::CmPaste()
{
    if (!current_ || clipboard_.GetLength() == 0)
        return;
    PasteList(clipboard_);
}

void MainDialog::CmPasteFromClipboard()
{
    if (!current_)
        return;
    std::vector<uint8_t> bytes;
    LKVClipboardPort& port = clipboardPort_ ? *clipboardPort_ : localClipboard_;
    if (!port.GetWave(bytes))
        return;
    const std::string path = ClipboardFilePath();
    {
        LFile file;
        if (bytes.size() > size_t(INT32_MAX) || !file.Open(path, LFile::Mode::Create) ||
            file.Write(bytes.data(), int32_t(bytes.size())) != int32_t(bytes.size())) {
            file.Close();
            ::unlink(path.c_str());
            LUiGet().Message("Kelvane could not read the clipboard.", kErrorCaption, LUiButtons::Ok,
                             LUiIcon::Exclamation);
            return;
        }
    }
    LCutListAudio list;
    uint8_t askOnce = 1;
    KVLoadFile::Data data{path, &list, &askOnce};
    const int32_t result =
        RunJob("Loading Audio File Source", [&](LProgressDialog& d) { return KVLoadFile::Process(d, data); });
    ::unlink(path.c_str());
    if (result == kJobDone && list.GetLength() > 0)
        PasteList(std::move(list));
}

bool MainDialog::RenderClipboardWave(std::vector<uint8_t>& bytes)
{
    bytes.clear();
    const std::string path = ClipboardFilePath();
    LKVSaveToSink::Data data{&clipboard_, path, false};
    bool ok = RunJob("Saving to clipboard", [&](LProgressDialog& d) { return LKVSaveToSink::Process(d, data); }) ==
              kJobDone;
    if (ok) {
        LFile file;
        ok = file.Open(path, LFile::Mode::Read);
        const int64_t size = ok ? file.GetFileSizeBytes() : 0;
        ok = ok && size < INT32_MAX;
        if (ok) {
            bytes.resize(size_t(size));
            ok = file.Read(bytes.data(), int32_t(size)) == int32_t(size);
        }
    }
    ::unlink(path.c_str());
    if (!ok)
        bytes.clear();
    return ok;
}

void MainDialog::CmDelete()
{
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        return;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Delete");
    doc.audio.EfDelete(start, end);
    SetSelection(start, start, start);
    EndModifyCurrentFile(start, doc.audio.sampleRate);
}

void MainDialog::CmSelectAll()
{
    if (current_)
        SetSelection(0, current_->audio.GetLength(), 0);
}

void MainDialog::CmSelectToStart()
{
    if (!current_)
        return;
    const int32_t cursor = std::clamp(current_->pos.cursor, 0, current_->audio.GetLength());
    SetSelection(0, cursor, cursor);
}

void MainDialog::CmSelectToEnd()
{
    if (!current_)
        return;
    const int32_t length = current_->audio.GetLength();
    const int32_t cursor = std::clamp(current_->pos.cursor, 0, length);
    SetSelection(cursor, length, cursor);
}

void MainDialog::CmSelectRegion()
{
    if (!current_)
        return;
    LKVFile& doc = *current_;
    const int32_t rate = doc.audio.sampleRate;
    int32_t startMs = LKVFramesToMs(doc.pos.selStart, rate);
    int32_t endMs = LKVFramesToMs(doc.pos.selEnd, rate);
    if (!LUiGet().SelectRegionDialog(startMs, endMs))
        return;
    if (startMs > endMs)
        std::swap(startMs, endMs);
    const int32_t length = doc.audio.GetLength();
    const int32_t start = std::clamp(LKVMsToFrames(startMs, rate), 0, length);
    const int32_t end = std::clamp(LKVMsToFrames(endMs, rate), 0, length);
    SetSelection(start, end, start);
}

bool MainDialog::CmInsertFile(LKVInsertAt where)
{
    if (!current_)
        return false;
    LUiFileRequest request{"Insert File", {}, {}, LKVAudioFileFilters(), false, {}};
    std::string path;
    if (!AskFileName(request, S::kInsertFileDir, path))
        return false;
    return InsertFile(path, where);
}

bool MainDialog::InsertFile(const std::string& path, LKVInsertAt where)
{
    if (!current_)
        return false;
    LKVFile& doc = *current_;
    LCutListAudio list;
    uint8_t askOnce = 1;
    const int32_t result = RunJob("Insert File", [&](LProgressDialog& d) {
        KVLoadFile::Data load{path, &list, &askOnce};
        const int32_t loaded = KVLoadFile::Process(d, load);
        if (loaded != kJobDone)
            return loaded;
        LCLAConvertRateChannels::Data convert{&list, doc.audio.sampleRate, doc.audio.channels};
        return LCLAConvertRateChannels::Process(d, convert);
    });
    if (result != kJobDone)
        return false;
    const int32_t length = doc.audio.GetLength();
    int32_t at = 0;
    const char* name = "Insert File At Beginning";
    if (where == LKVInsertAt::Current) {
        at = std::clamp(doc.pos.cursor, 0, length);
        name = "Insert File At Current Position";
    } else if (where == LKVInsertAt::End) {
        at = length;
        name = "Insert File At The End";
    }
    StartModifyCurrentFile(name);
    doc.audio.EfInsert(at, list);
    SetSelection(at, EndOf(at, list.GetLength()), at);
    EndModifyCurrentFile(at, doc.audio.sampleRate);
    return true;
}

LKVFile* MainDialog::CmCopyToNew()
{
    int32_t start = 0, end = 0;
    if (!ClampedSelection(start, end))
        return nullptr;
    auto doc = std::make_unique<LKVFile>();
    doc->untitledNumber = GetUntitledIdx();
    current_->audio.EfCopy(start, end, doc->audio);
    doc->pos.viewEnd = doc->audio.GetLength();
    // Its audio exists in no file yet: closing it must ask.
    doc->modified = true;
    return &AddNewDocument(std::move(doc));
}
