// The main window's transport: play, scrub, stop, go to start/end, the held
// scans, play speeds and the volume control, by the rules of LKVTransport.
#include <algorithm>

#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"

namespace S = LKVSettings;

void MainDialog::StopPlayback()
{
    if (player_)
        player_->Stop();
    playingFile_ = nullptr;
}

uint16_t MainDialog::PlayerState() const { return player_ ? player_->State() : 0; }

bool MainDialog::StartPlayer(LSoundSource source, LKVFile* doc)
{
    if (!player_)
        return false;
    playingFile_ = nullptr;
    if (!player_->Start(std::move(source), S::kSoundOutDevice.Read())) {
        LUiGet().Message(kDeviceMessage, kAppCaption, LUiButtons::Ok, LUiIcon::Information);
        return false;
    }
    playingFile_ = doc;
    return true;
}

bool MainDialog::TransportOwner::TransportStart(LSoundSource source)
{
    return owner->StartPlayer(std::move(source), owner->current_);
}

void MainDialog::TransportOwner::TransportReduceVolume(bool reduced)
{
    if (owner->player_)
        owner->player_->SetVolumeDb(reduced ? -8 : owner->PlayVolume());
}

bool MainDialog::PlayAudio(const LCutListAudio& audio, int32_t frame, LKVFile* doc)
{
    if (!player_)
        return false;
    StopPlayback();
    return StartPlayer(LKVTransport::PlaySource(audio, frame), doc);
}

bool MainDialog::CmPlay()
{
    if (!current_ || !player_)
        return false;
    LKVFile& doc = *current_;
    const int32_t cursor = doc.pos.cursor;
    const bool played = transport_.Play(doc.audio, doc.pos);
    if (view_ && doc.pos.cursor != cursor)
        view_->DocumentChanged(doc);
    return played;
}

void MainDialog::CmPlaySpeed(int32_t speed)
{
    S::kPlaySpeed.Write(std::clamp(speed, 0, 2));
    CmPlay();
}

void MainDialog::CmScrub()
{
    if (!current_ || !player_)
        return;
    LKVFile& doc = *current_;
    const int32_t cursor = doc.pos.cursor;
    transport_.Scrub(doc.audio, doc.pos);
    if (view_ && doc.pos.cursor != cursor)
        view_->DocumentChanged(doc);
}

void MainDialog::MoveCursor(int32_t frame)
{
    if (!current_)
        return;
    LKVFile& doc = *current_;
    transport_.MoveCursor(doc.audio, doc.pos, frame, playingFile_ == &doc);
    if (view_)
        view_->DocumentChanged(doc);
}

void MainDialog::CmGoToStart() { MoveCursor(0); }

void MainDialog::CmGoToEnd()
{
    if (current_)
        MoveCursor(current_->audio.GetLength());
}

void MainDialog::ScanPressed(LKVScan direction)
{
    if (!current_ || !player_)
        return;
    transport_.ScanPressed(direction, current_->audio, current_->pos);
    if (view_)
        view_->DocumentChanged(*current_);
}

void MainDialog::ScanReleased(LKVScan direction)
{
    if (!current_) {
        transport_.CancelScan();
        return;
    }
    const int32_t cursor = current_->pos.cursor;
    transport_.ScanReleased(direction, current_->audio, current_->pos);
    if (view_ && current_->pos.cursor != cursor)
        view_->DocumentChanged(*current_);
}

int32_t MainDialog::PlayVolume() const { return std::clamp(S::kPlayVolume.Read(), -127, 127); }

void MainDialog::SetPlayVolume(int32_t dB)
{
    dB = std::clamp(dB, -127, 127);
    S::kPlayVolume.Write(dB);
    if (player_)
        player_->SetVolumeDb(dB);
}

void MainDialog::OnPlayPosition(int32_t ms)
{
    LKVFile* doc = playingFile_;
    if (!doc)
        return;
    const int32_t cursor = LKVTransport::CursorAt(ms, doc->pos.cursor, doc->audio);
    if (cursor == doc->pos.cursor)
        return;
    doc->pos.cursor = cursor;
    if (view_)
        view_->PlayCursorMoved(*doc);
}

void MainDialog::OnPlayStateChanged()
{
    if (player_ && player_->State() == 0)
        playingFile_ = nullptr;
    if (view_)
        view_->TransportChanged();
}
