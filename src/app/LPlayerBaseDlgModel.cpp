#include "app/LPlayerBaseDlgModel.h"

#include <algorithm>

#include "app/LKVReadouts.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "app/MainDialogShared.h"
#include "core/LSoundTime.h"
#include "devices/LSoundDeviceList.h"

namespace S = LKVSettings;

namespace {
constexpr int32_t kMinDb = -36;
constexpr int32_t kMaxDb = 10;
} // namespace

LPlayerBaseDlgModel::LPlayerBaseDlgModel()
    : transport_(&player_, *this),
      device_(LDeviceChoice(S::kPlayerDevice.Read(), LSoundPlayDevice::List().size())),
      volumeDb_(std::clamp(S::kPlayerVolumeDB.Read(), kMinDb, kMaxDb))
{
    player_.SetListener(this);
    player_.onLevels = [this](const LChannelLevels& levels) {
        if (view_)
            view_->PlayerLevels(levels);
    };
    player_.onLoudness = [this](const LLoudnessReading& loudness) {
        if (view_)
            view_->PlayerLoudness(loudness);
    };
    player_.SetVolumeDb(volumeDb_);
}

LPlayerBaseDlgModel::~LPlayerBaseDlgModel()
{
    view_ = nullptr;
    player_.Stop();
    player_.onLevels = nullptr;
    player_.onLoudness = nullptr;
    player_.SetListener(nullptr);
}

void LPlayerBaseDlgModel::SetTracks(std::vector<LPlayerTrack> tracks, size_t current)
{
    transport_.CancelScan();
    player_.Stop();
    tracks_ = std::move(tracks);
    current_ = tracks_.empty() ? 0 : std::min(current, tracks_.size() - 1);
    for (LPlayerTrack& t : tracks_) {
        const int32_t length = t.audio.GetLength();
        t.pos.cursor = std::clamp(t.pos.cursor, 0, length);
        t.pos.selStart = std::clamp(t.pos.selStart, 0, length);
        t.pos.selEnd = std::clamp(t.pos.selEnd, t.pos.selStart, length);
    }
    Moved();
}

bool LPlayerBaseDlgModel::ChangeTrack(size_t track)
{
    if (track >= tracks_.size() || track == current_)
        return false;
    const bool playing = Playing();
    transport_.CancelScan();
    player_.Stop();
    current_ = track;
    LPlayerTrack& t = tracks_[current_];
    t.pos.cursor = t.pos.selStart < t.pos.selEnd ? t.pos.selStart : 0;
    Moved();
    if (playing)
        Play();
    return true;
}

bool LPlayerBaseDlgModel::PreviousTrack()
{
    LPlayerTrack* t = Shown();
    if (!t)
        return false;
    if (t->pos.cursor > 0 || current_ == 0) {
        MoveTo(0);
        return t->pos.cursor == 0;
    }
    return ChangeTrack(current_ - 1);
}

bool LPlayerBaseDlgModel::NextTrack() { return ChangeTrack(current_ + 1); }

bool LPlayerBaseDlgModel::Play()
{
    LPlayerTrack* t = Shown();
    if (!t)
        return false;
    const bool played = transport_.Play(t->audio, t->pos);
    Moved();
    return played;
}

bool LPlayerBaseDlgModel::Scrub()
{
    LPlayerTrack* t = Shown();
    if (!t)
        return false;
    const bool cued = transport_.Scrub(t->audio, t->pos);
    Moved();
    return cued;
}

void LPlayerBaseDlgModel::Stop()
{
    transport_.CancelScan();
    player_.Stop();
}

void LPlayerBaseDlgModel::MoveTo(int32_t frame)
{
    LPlayerTrack* t = Shown();
    if (!t)
        return;
    transport_.MoveCursor(t->audio, t->pos, frame, true);
    Moved();
}

void LPlayerBaseDlgModel::GoToStart() { MoveTo(0); }

void LPlayerBaseDlgModel::GoToEnd()
{
    if (const LPlayerTrack* t = Track())
        MoveTo(t->audio.GetLength());
}

void LPlayerBaseDlgModel::ScanPressed(LKVScan direction)
{
    if (LPlayerTrack* t = Shown()) {
        transport_.ScanPressed(direction, t->audio, t->pos);
        Moved();
    }
}

void LPlayerBaseDlgModel::ScanReleased(LKVScan direction)
{
    if (LPlayerTrack* t = Shown()) {
        transport_.ScanReleased(direction, t->audio, t->pos);
        Moved();
    }
}

int32_t LPlayerBaseDlgModel::Cursor() const
{
    const LPlayerTrack* t = Track();
    return t ? t->pos.cursor : 0;
}

int32_t LPlayerBaseDlgModel::PositionMs() const
{
    const LPlayerTrack* t = Track();
    if (!t)
        return 0;
    LSoundTime time;
    time.SetSamples(t->pos.cursor, t->audio.sampleRate);
    return time.GetMs();
}

int32_t LPlayerBaseDlgModel::LengthMs() const
{
    const LPlayerTrack* t = Track();
    if (!t)
        return 0;
    LSoundTime time;
    time.SetSamples(t->audio.GetLength(), t->audio.sampleRate);
    return time.GetMs();
}

std::string LPlayerBaseDlgModel::TimeText() const { return LSoundTime(PositionMs()).GetTextCs(); }

int32_t LPlayerBaseDlgModel::BarValue() const
{
    const int32_t length = LengthMs();
    if (length <= 0)
        return 0;
    return int32_t(std::clamp<int64_t>(int64_t(PositionMs()) * 100 / length, 0, 100));
}

void LPlayerBaseDlgModel::ScrollBar(Scroll action, int32_t thumb)
{
    const LPlayerTrack* t = Track();
    if (!t)
        return;
    const int64_t length = LengthMs();
    int64_t ms = PositionMs();
    switch (action) {
    case Scroll::LineBack:
    case Scroll::PageBack: ms = std::max<int64_t>(0, ms - kStepMs); break;
    case Scroll::LineForward:
    case Scroll::PageForward: ms = std::min(length, ms + kStepMs); break;
    case Scroll::Thumb: ms = length * std::clamp(thumb, 0, 100) / 100; break;
    case Scroll::Top: ms = 0; break;
    case Scroll::Bottom: ms = length; break;
    }
    const int32_t frame =
        action == Scroll::Bottom ? t->audio.GetLength() : LKVMsToFrames(ms, t->audio.sampleRate);
    MoveTo(frame);
}

void LPlayerBaseDlgModel::SetDevice(int32_t device)
{
    transport_.CancelScan();
    player_.Stop();
    device_ = std::max(0, device);
}

void LPlayerBaseDlgModel::SetVolumeDb(int32_t dB)
{
    volumeDb_ = std::clamp(dB, kMinDb, kMaxDb);
    player_.SetVolumeDb(volumeDb_);
}

void LPlayerBaseDlgModel::StoreSettings() const
{
    S::kPlayerDevice.Write(device_);
    S::kPlayerVolumeDB.Write(volumeDb_);
}

bool LPlayerBaseDlgModel::TransportStart(LSoundSource source)
{
    if (player_.Start(std::move(source), device_))
        return true;
    LUiGet().Message(MainDialog::kDeviceMessage, kAppCaption, LUiButtons::Ok, LUiIcon::Information);
    return false;
}

void LPlayerBaseDlgModel::TransportReduceVolume(bool reduced)
{
    player_.SetVolumeDb(reduced ? -8 : volumeDb_);
}

void LPlayerBaseDlgModel::PlayStateChanged()
{
    if (view_)
        view_->PlayerStateChanged();
}

void LPlayerBaseDlgModel::PlayPosition(int32_t ms)
{
    LPlayerTrack* t = Shown();
    if (!t)
        return;
    t->pos.cursor = LKVTransport::CursorAt(ms, t->pos.cursor, t->audio);
    Moved();
}

void LPlayerBaseDlgModel::Moved()
{
    if (view_)
        view_->PlayerPositionChanged();
}
