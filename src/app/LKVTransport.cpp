#include "app/LKVTransport.h"

#include <algorithm>

#include "app/LKVReadouts.h"
#include "app/LSettingsTable.h"
#include "core/LSoundTime.h"
#include "effects/LSRCTimeStretch.h"

namespace S = LKVSettings;

namespace {

// The tempo of play speed 0, 1 and 2: half, normal, one and a half.
double SpeedFactor(int32_t speed) { return (speed + 1) * 0.5; }

LSoundSource Stretched(LSoundSource source, double speed, double endSpeed, int32_t glideMs)
{
    // Input positions: the player reports positions of the audio itself, and
    // any hop is accepted, negative ones (scanning backwards) included.
    return MakeSource<LSRCTimeStretch>(std::move(source), speed, endSpeed, glideMs,
                                       LSRCTimeStretch::Positions::Input);
}

} // namespace

LSoundSource LKVTransport::PlaySource(const LCutListAudio& audio, int32_t frame)
{
    LSoundSource source = audio.OpenSource();
    if (frame != 0)
        source->Seek(frame);
    const int32_t speed = S::kPlaySpeed.Read();
    if (speed != 1)
        source = Stretched(std::move(source), SpeedFactor(std::clamp(speed, 0, 2)), 1.0, 0);
    return source;
}

int32_t LKVTransport::CursorAt(int32_t ms, int32_t cursor, const LCutListAudio& audio)
{
    const int32_t rate = audio.sampleRate;
    LSoundTime t;
    t.SetSamples(cursor, rate);
    if (t.GetMs() == ms)
        return cursor;
    return std::clamp(LKVMsToFrames(ms, rate), 0, audio.GetLength());
}

bool LKVTransport::Play(const LCutListAudio& audio, LKVFile::Positions& pos)
{
    if (!player_)
        return false;
    if (player_->State() & LPlayerPort::kCueing) {
        player_->Play();
        return true;
    }
    owner_.TransportStop();
    const int32_t length = audio.GetLength();
    if (int64_t(pos.cursor) + audio.sampleRate >= length)
        pos.cursor = 0;
    if (pos.selStart >= pos.selEnd)
        return owner_.TransportStart(PlaySource(audio, pos.cursor));
    // The selection plays from a list that ends at the selection end, so
    // playback stops there while positions stay those of the whole audio.
    pos.cursor = pos.selStart;
    LCutListAudio upToEnd;
    audio.EfCopy(0, pos.selEnd, upToEnd);
    return owner_.TransportStart(PlaySource(upToEnd, pos.cursor));
}

bool LKVTransport::Scrub(const LCutListAudio& audio, LKVFile::Positions& pos)
{
    if (!player_)
        return false;
    if (player_->State() == 0 && !Play(audio, pos))
        return false;
    player_->Cue();
    return true;
}

void LKVTransport::MoveCursor(const LCutListAudio& audio, LKVFile::Positions& pos, int32_t frame, bool seek)
{
    pos.cursor = std::clamp(frame, 0, audio.GetLength());
    if (seek && player_ && player_->State() != 0)
        player_->Seek(pos.cursor);
}

void LKVTransport::ScanPressed(LKVScan direction, const LCutListAudio& audio, LKVFile::Positions& pos)
{
    if (!player_ || direction == LKVScan::None || direction == scan_)
        return;
    if (scan_ != LKVScan::None)
        ScanReleased(scan_, audio, pos);
    const uint16_t state = player_->State();
    scanResume_ = state == 0 ? 0 : (state & LPlayerPort::kCueing) ? 1 : 2;
    const bool cueing = scanResume_ == 1;
    owner_.TransportStop();
    const int32_t rate = audio.sampleRate;
    if (direction == LKVScan::Rewind)
        pos.cursor = std::max(0, pos.cursor - (cueing ? rate / 10 : rate / 5));
    pos.cursor = std::min(pos.cursor, audio.GetLength());
    // A held scan starts slowly and speeds up over 8 s; from the scrub loop it
    // starts and stays slower, to find a place by ear.
    const double sign = direction == LKVScan::Rewind ? -1.0 : 1.0;
    const double speed = cueing ? 0.1 : (direction == LKVScan::Rewind ? 0.5 : 1.5);
    const double endSpeed = cueing ? 3.0 : 7.0;
    LSoundSource source = audio.OpenSource();
    source->Seek(pos.cursor);
    if (S::kReduceVolWhenRewind.Read())
        owner_.TransportReduceVolume(true);
    scan_ = direction;
    owner_.TransportStart(Stretched(std::move(source), sign * speed, sign * endSpeed, 8000));
}

void LKVTransport::ScanReleased(LKVScan direction, const LCutListAudio& audio, LKVFile::Positions& pos)
{
    if (direction != scan_ || scan_ == LKVScan::None)
        return;
    scan_ = LKVScan::None;
    if (player_ && S::kReduceVolWhenRewind.Read())
        owner_.TransportReduceVolume(false);
    owner_.TransportStop();
    if (scanResume_ == 1)
        Scrub(audio, pos);
    else if (scanResume_ == 2)
        Play(audio, pos);
}

void LKVTransport::CancelScan()
{
    if (scan_ == LKVScan::None)
        return;
    scan_ = LKVScan::None;
    if (player_ && S::kReduceVolWhenRewind.Read())
        owner_.TransportReduceVolume(false);
    owner_.TransportStop();
}
