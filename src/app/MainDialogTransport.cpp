// The main window's transport: play, scrub, stop, go to start/end, the held
// scans, play speeds and the volume control.
#include <algorithm>

#include "app/LKVReadouts.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LSoundTime.h"
#include "devices/LDeviceLevel.h"
#include "effects/LSRCTimeStretch.h"

namespace S = LKVSettings;

namespace {

// The tempo of play speed 0, 1 and 2: half, normal, one and a half.
double SpeedFactor(int32_t speed) { return (speed + 1) * 0.5; }

LSoundSource Stretched(LSoundSource source, double speed, double endSpeed, int32_t glideMs)
{
    // Input positions: the player reports document frames, and any hop is
    // accepted, negative ones (scanning backwards) included.
    return MakeSource<LSRCTimeStretch>(std::move(source), speed, endSpeed, glideMs,
                                       LSRCTimeStretch::Positions::Input);
}

int32_t MsOf(int32_t frames, int32_t rate)
{
    LSoundTime t;
    t.SetSamples(frames, rate);
    return t.GetMs();
}

} // namespace

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

bool MainDialog::PlayAudio(const LCutListAudio& audio, int32_t frame, LKVFile* doc)
{
    if (!player_)
        return false;
    StopPlayback();
    LSoundSource source = audio.OpenSource();
    if (frame != 0)
        source->Seek(frame);
    const int32_t speed = S::kPlaySpeed.Read();
    if (speed != 1)
        source = Stretched(std::move(source), SpeedFactor(speed), 1.0, 0);
    return StartPlayer(std::move(source), doc);
}

bool MainDialog::CmPlay()
{
    if (!current_ || !player_)
        return false;
    if (player_->State() & LPlayerPort::kCueing) {
        player_->Play();
        return true;
    }
    StopPlayback();
    LKVFile& doc = *current_;
    const int32_t length = doc.audio.GetLength();
    if (int64_t(doc.pos.cursor) + doc.audio.sampleRate >= length)
        doc.pos.cursor = 0;
    if (!doc.HasSelection())
        return PlayAudio(doc.audio, doc.pos.cursor, &doc);
    // The selection plays from a list that ends at the selection end, so
    // playback stops there while positions stay those of the document.
    doc.pos.cursor = doc.pos.selStart;
    if (view_)
        view_->DocumentChanged(doc);
    LCutListAudio upToEnd;
    doc.audio.EfCopy(0, doc.pos.selEnd, upToEnd);
    return PlayAudio(upToEnd, doc.pos.cursor, &doc);
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
    if (player_->State() == 0 && !CmPlay())
        return;
    player_->Cue();
}

void MainDialog::MoveCursor(int32_t frame)
{
    if (!current_)
        return;
    LKVFile& doc = *current_;
    doc.pos.cursor = std::clamp(frame, 0, doc.audio.GetLength());
    if (view_)
        view_->DocumentChanged(doc);
    if (player_ && player_->State() != 0 && playingFile_ == &doc)
        player_->Seek(doc.pos.cursor);
}

void MainDialog::CmGoToStart() { MoveCursor(0); }

void MainDialog::CmGoToEnd()
{
    if (current_)
        MoveCursor(current_->audio.GetLength());
}

void MainDialog::ScanPressed(LKVScan direction)
{
    if (!current_ || !player_ || direction == LKVScan::None || direction == scan_)
        return;
    if (scan_ != LKVScan::None)
        ScanReleased(scan_);
    const uint16_t state = player_->State();
    scanResume_ = state == 0 ? 0 : (state & LPlayerPort::kCueing) ? 1 : 2;
    const bool cueing = scanResume_ == 1;
    StopPlayback();
    LKVFile& doc = *current_;
    const int32_t rate = doc.audio.sampleRate;
    if (direction == LKVScan::Rewind)
        doc.pos.cursor = std::max(0, doc.pos.cursor - (cueing ? rate / 10 : rate / 5));
    if (view_)
        view_->DocumentChanged(doc);
    // A held scan starts slowly and speeds up over 8 s; from the scrub loop it
    // starts and stays slower, to find a place by ear.
    const double sign = direction == LKVScan::Rewind ? -1.0 : 1.0;
    const double speed = cueing ? 0.1 : (direction == LKVScan::Rewind ? 0.5 : 1.5);
    const double endSpeed = cueing ? 3.0 : 7.0;
    LSoundSource source = doc.audio.OpenSource();
    source->Seek(doc.pos.cursor);
    if (S::kReduceVolWhenRewind.Read())
        player_->SetVolume(S::kSoundOutDevice.Read(), LDbToDeviceVolume(-8));
    scan_ = direction;
    StartPlayer(Stretched(std::move(source), sign * speed, sign * endSpeed, 8000), &doc);
}

void MainDialog::ScanReleased(LKVScan direction)
{
    if (direction != scan_ || scan_ == LKVScan::None)
        return;
    scan_ = LKVScan::None;
    if (player_ && S::kReduceVolWhenRewind.Read())
        player_->SetVolume(S::kSoundOutDevice.Read(), LDbToDeviceVolume(S::kPlayVolume.Read()));
    StopPlayback();
    if (scanResume_ == 1)
        CmScrub();
    else if (scanResume_ == 2)
        CmPlay();
}

int32_t MainDialog::PlayVolume() const
{
    if (!player_)
        return S::kPlayVolume.Read();
    return LDeviceVolumeToDb(player_->GetVolume(S::kSoundOutDevice.Read()));
}

void MainDialog::SetPlayVolume(int32_t dB)
{
    dB = std::clamp(dB, -127, 127);
    S::kPlayVolume.Write(dB);
    if (player_)
        player_->SetVolume(S::kSoundOutDevice.Read(), LDbToDeviceVolume(dB));
}

void MainDialog::OnPlayPosition(int32_t ms)
{
    LKVFile* doc = playingFile_;
    if (!doc)
        return;
    const int32_t rate = doc->audio.sampleRate;
    // Positions come in milliseconds: a cursor already within that millisecond
    // stays where it is rather than snapping back to its start.
    if (MsOf(doc->pos.cursor, rate) == ms)
        return;
    doc->pos.cursor = std::clamp(LKVMsToFrames(ms, rate), 0, doc->audio.GetLength());
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
