#include "app/MainDialog.h"

#include <algorithm>

#include "core/LProgressDialog.h"
#include "core/LSettings.h"
#include "core/LSoundTime.h"
#include "edit/LCLAConvertRateChannels.h"

MainDialog::MainDialog(LPlayerPort* player, LMainDialogView* view)
    : transport_(player, transportOwner_), player_(player), view_(view)
{
    playerEvents_.owner = this;
    transportOwner_.owner = this;
    if (player_) {
        player_->SetListener(&playerEvents_);
        player_->SetVolumeDb(PlayVolume());
    }
}

MainDialog::~MainDialog()
{
    // An orderly end: the documents' records go with them.
    recovery_.RemoveAll();
    StopPlayback();
    if (player_)
        player_->SetListener(nullptr);
}

void MainDialog::SetCurrentFile(LKVFile* file)
{
    current_ = file;
    UpdateUndoMenuItem();
    if (view_)
        view_->CurrentFileChanged(file);
}

LKVFile& MainDialog::AddDocument(std::unique_ptr<LKVFile> file)
{
    documents_.push_back(std::move(file));
    SetCurrentFile(documents_.back().get());
    return *documents_.back();
}

void MainDialog::RemoveDocument(LKVFile* file)
{
    auto it = std::find_if(documents_.begin(), documents_.end(), [&](const auto& d) { return d.get() == file; });
    if (it == documents_.end())
        return;
    if (current_ == file || playingFile_ == file)
        StopPlayback();
    recovery_.Remove(*file);
    documents_.erase(it);
    if (current_ == file)
        SetCurrentFile(documents_.empty() ? nullptr : documents_.back().get());
}

int32_t MainDialog::GetUntitledIdx() const
{
    for (int32_t n = 1; n < 20; ++n) {
        bool used = std::any_of(documents_.begin(), documents_.end(),
                                [&](const auto& d) { return d->path.empty() && d->untitledNumber == n; });
        if (!used)
            return n;
    }
    return 1;
}


bool MainDialog::StartModifyCurrentFile(const std::string& name)
{
    if (!current_)
        return false;
    StopPlayback();
    current_->SaveUndo(name);
    if (view_)
        view_->SaveEnabledChanged(true);
    UpdateUndoMenuItem();
    return true;
}

void MainDialog::EndModifyCurrentFile(int32_t cursor, int32_t preRoll)
{
    if (!current_)
        return;
    current_->pos.cursor = cursor;
    RecordDocument(*current_);
    if (view_)
        view_->DocumentChanged(*current_);
    if (LSettings::ReadBool("Settings", "AutoPlaybackAfterEffects", true))
        PlayAudio(current_->audio, std::max(0, int32_t(int64_t(cursor) - preRoll)), current_);
}

void MainDialog::CmUndo()
{
    if (!current_)
        return;
    StopPlayback();
    if (!current_->Undo())
        return;
    RecordDocument(*current_);
    UpdateUndoMenuItem();
    if (view_) {
        view_->SaveEnabledChanged(current_->modified);
        view_->DocumentChanged(*current_);
    }
}

void MainDialog::CmRedo()
{
    if (!current_)
        return;
    StopPlayback();
    if (!current_->Redo())
        return;
    RecordDocument(*current_);
    UpdateUndoMenuItem();
    if (view_) {
        view_->SaveEnabledChanged(current_->modified);
        view_->DocumentChanged(*current_);
    }
}

void MainDialog::UpdateUndoMenuItem()
{
    const std::string name = current_ ? current_->NextUndo().name : std::string();
    undoItem_.text = "Undo " + name + "\tCtrl+Z";
    undoItem_.enabled = !name.empty();
    const std::string redo = current_ ? current_->NextRedoName() : std::string();
    redoItem_.text = "Redo " + redo + "\tCtrl+Y";
    redoItem_.enabled = !redo.empty();
    if (view_) {
        view_->UndoItemChanged(undoItem_);
        view_->RedoItemChanged(redoItem_);
    }
}

void MainDialog::SetSelection(int32_t start, int32_t end, int32_t cursor)
{
    if (!current_)
        return;
    current_->pos.selStart = start;
    current_->pos.selEnd = end;
    current_->pos.cursor = cursor;
    if (view_)
        view_->DocumentChanged(*current_);
}

int32_t MainDialog::ConvertSampleRate(int32_t rate, LRateQuality quality)
{
    if (!current_ || current_->audio.sampleRate == rate)
        return kJobDone;
    LKVFile& doc = *current_;
    const int32_t oldRate = doc.audio.sampleRate;
    LSoundTime selStart, selEnd, cursor;
    selStart.SetSamples(doc.pos.selStart, oldRate);
    selEnd.SetSamples(doc.pos.selEnd, oldRate);
    cursor.SetSamples(doc.pos.cursor, oldRate);
    StartModifyCurrentFile("Convert Sample Rate");
    LCLAConvertRateChannels::Data data{&doc.audio, rate, doc.audio.channels, quality};
    int32_t result =
        RunJob("Convert Sample Rate", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, data); });
    if (result != kJobDone)
        return result;
    doc.pos.selStart = selStart.GetSamples(rate);
    doc.pos.selEnd = selEnd.GetSamples(rate);
    doc.pos.viewStart = 0;
    doc.pos.viewEnd = doc.audio.GetLength();
    if (view_)
        view_->ShowWholeDocument(doc);
    EndModifyCurrentFile(cursor.GetSamples(rate), rate);
    return result;
}

int32_t MainDialog::ConvertChannels(uint8_t channels)
{
    if (!current_ || current_->audio.channels == channels)
        return kJobDone;
    LKVFile& doc = *current_;
    StartModifyCurrentFile("Convert Channels");
    LCLAConvertRateChannels::Data data{&doc.audio, doc.audio.sampleRate, channels};
    int32_t result =
        RunJob("Convert Channels", [&](LProgressDialog& d) { return LCLAConvertRateChannels::Process(d, data); });
    if (result == kJobDone)
        EndModifyCurrentFile(doc.pos.cursor, doc.audio.sampleRate);
    return result;
}
