#include "app/LRecordDlgModel.h"

#include <algorithm>
#include <cstring>

#include "app/LSettingsTable.h"
#include "devices/LMixer.h"
#include "devices/LSoundDeviceList.h"
#include "edit/LAudioCutTank.h"

namespace S = LKVSettings;

namespace {
// "Vor": a silence of 5 s returns to waiting; otherwise 60 hours, never.
constexpr int32_t kVorSilenceMs = 5000;
constexpr int32_t kNeverMs = 216000000;

LCutListAudio EmptyList(int32_t rate, uint8_t channels)
{
    LCutListAudio list;
    list.sampleRate = rate;
    list.channels = channels;
    return list;
}
} // namespace

LRecordDlgModel::LRecordDlgModel(int32_t rate, uint8_t channels)
    : target_(EmptyList(rate, channels)),
      device_(S::kRecorderDevice.Read()),
      channel_(S::kRecorderChannel.Read()),
      volume_(S::kRecorderVolume.Read()),
      threshold_(std::clamp(S::kRecorderThreshold.Read(), -40, -6)),
      autotrim_(S::kRecorderAutotrim.Read()),
      vor_(S::kRecorderVor.Read())
{
    device_ = LDeviceChoice(device_, LSoundRecordDevice::List().size());
    lines_ = LSoundRecordDevice::InputLines(device_);
    if (channel_ + 1 < 0 || size_t(channel_ + 1) >= lines_.size())
        channel_ = -1;
}

LRecordDlgModel::~LRecordDlgModel() { StopRecorder(); }

void LRecordDlgModel::StopRecorder()
{
    recorder_.Stop();
    if (takeRunning_ && watcher_)
        watcher_->TakeEnded();
    takeRunning_ = false;
}

void LRecordDlgModel::SetDevice(int32_t device)
{
    device_ = std::max(0, device);
    lines_ = LSoundRecordDevice::InputLines(device_);
    // The line keeps its index where the new device has it.
    if (size_t(channel_ + 1) >= lines_.size())
        channel_ = -1;
    LMixer::SetInputChannel(device_, channel_, volume_);
}

void LRecordDlgModel::SetChannel(int32_t line)
{
    channel_ = std::clamp(line, -1, int32_t(lines_.size()) - 2);
    LMixer::SetInputChannel(device_, channel_, volume_);
}

void LRecordDlgModel::SetVolume(int32_t dB)
{
    volume_ = std::clamp(dB, -127, 127);
    LMixer::SetInputChannel(device_, channel_, volume_);
}

void LRecordDlgModel::SetAdvanced(bool autotrim, bool vor, int32_t thresholdDb)
{
    autotrim_ = autotrim;
    vor_ = vor;
    if (autotrim)
        threshold_ = std::clamp(thresholdDb, -40, -6);
    S::kRecorderAutotrim.Write(autotrim_);
    S::kRecorderVor.Write(vor_);
    S::kRecorderThreshold.Write(threshold_);
}

void LRecordDlgModel::StoreSettings() const
{
    S::kRecorderVolume.Write(volume_);
    S::kRecorderDevice.Write(device_);
    S::kRecorderChannel.Write(channel_);
}

bool LRecordDlgModel::StartTake(int32_t positionMs)
{
    StopRecorder();
    LMixer::SetInputChannel(device_, channel_, volume_);
    takeStartMs_ = std::max(0, positionMs);
    LSoundSink sink = target_.OpenRecordSink(LSoundTime(takeStartMs_));
    recorder_.device = device_;
    // Without "Autotrim" every block counts as sound: nothing waits, nothing is trimmed.
    // The record follows the take from before its first block: a crash at any
    // point leaves the document with what the sink had written by then.
    takeRunning_ = true;
    if (watcher_)
        watcher_->TakeStarted(target_);
    if (recorder_.Start(sink, 0, 0, autotrim_ ? threshold_ : -127, vor_ ? kVorSilenceMs : kNeverMs))
        return true;
    sink.Reset();
    StopRecorder();
    return false;
}

bool LRecordDlgModel::Record(int32_t positionMs)
{
    if (Recording())
        return false;
    return StartTake(positionMs);
}

void LRecordDlgModel::StopTake() { StopRecorder(); }

std::array<std::string, 4> LRecordDlgModel::ButtonTexts() const
{
    if (Recording())
        return {"Restart (F6)", "Rewind (<-)", "Re-Take (F7)", "Record Next (F5)"};
    return {"Go to Start (Home)", "Rewind (<-)", "Forward (->)", "Go to End (End)"};
}

LSoundSource LRecordDlgModel::OpenReview()
{
    StopRecorder();
    return target_.OpenSource();
}

LCutListAudio LRecordDlgModel::Recorded()
{
    StopRecorder();
    target_.OpenSource();  // merges the kept part back in front
    return target_.Working();
}

bool LRecordDlgModel::HasRecording() { return Recorded().GetLength() > 0; }

std::string LRecordDlgModel::WriteFailedMessage() const
{
    if (!recorder_.WriteFailed())
        return "";
    const int32_t reason = recorder_.WriteErrno();
    const std::string why = reason != 0 ? " (" + std::string(std::strerror(reason)) + ")" : "";
    return "Recording stopped: the audio could not be written to the working folder \"" +
           LAudioCutTank::Get().GetWorkingFolder() + "\"" + why + ". Everything recorded up to then is kept.";
}
