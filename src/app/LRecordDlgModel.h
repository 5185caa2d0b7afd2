#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "devices/LSoundRecorder.h"
#include "edit/LRecordTarget.h"

// Told on the user-interface thread when a take starts recording into the
// target and when its sink has been released (the crash record follows it).
class LRecordTakeWatcher {
public:
    virtual ~LRecordTakeWatcher() = default;
    virtual void TakeStarted(const LRecordTarget& target) = 0;
    virtual void TakeEnded() = 0;
};

// The record dialog without its window: the settings it edits, the takes and
// the transport buttons' texts. A take records into the two lists of an
// LRecordTarget: what was recorded before the take's start is kept, the take
// replaces the rest. Used on the user-interface thread; the dialog reads
// Recording() and the recorder's notifications to refresh itself.
class LRecordDlgModel {
public:
    // Records at `rate` and `channels` (the document's). Reads the "Recorder" settings.
    LRecordDlgModel(int32_t rate, uint8_t channels);
    ~LRecordDlgModel();

    // ---- Settings ("Recorder"), applied through the mixer as they change ----
    int32_t Device() const { return device_; }
    // Picks the input device (list index); refills the input lines.
    void SetDevice(int32_t device);
    // The input-line chooser: entry i is line i - 1 (first the capture control
    // as the system's mixer has it, which leaves the mixer alone).
    const std::vector<std::string>& InputLines() const { return lines_; }
    int32_t Channel() const { return channel_; }
    void SetChannel(int32_t line);
    // "Record Volume" is shown only when the device has input lines.
    bool VolumeShown() const { return lines_.size() > 1; }
    int32_t Volume() const { return volume_; }
    void SetVolume(int32_t dB);
    bool Autotrim() const { return autotrim_; }
    bool Vor() const { return vor_; }
    int32_t Threshold() const { return threshold_; }
    // The advanced dialog: "Threshold" -40..-6 dB, editable only with "Autotrim".
    void SetAdvanced(bool autotrim, bool vor, int32_t thresholdDb);
    // Stores "Volume", "Device" and "Channel" (the dialog's close).
    void StoreSettings() const;

    // ---- Takes ----
    // Starts a take at `positionMs` of what was recorded: the recorder restarts
    // into a sink that keeps [0, position) and appends the new audio.
    bool StartTake(int32_t positionMs);
    // Record (F8): a take at the dialog's position when not recording.
    bool Record(int32_t positionMs);
    // Restart (F6): a take at 0, dropping everything recorded in this dialog.
    bool Restart() { return StartTake(0); }
    // Re-Take (F7): a take where the current one began, dropping only it.
    bool ReTake() { return StartTake(takeStartMs_); }
    // Stop: the take ends (trimmed to 50 ms after its last loud block).
    void StopTake();
    bool Recording() const { return recorder_.GetState() != LSoundRecorder::kIdle; }
    int32_t TakeStartMs() const { return takeStartMs_; }
    // The four transport buttons: "Restart (F6)", "Rewind (<-)", "Re-Take (F7)",
    // "Record Next (F5)" while recording; the plain transport's otherwise.
    std::array<std::string, 4> ButtonTexts() const;

    // What was recorded so far, for the dialog's player (stops the take first).
    LSoundSource OpenReview();
    // Everything recorded, once the dialog has ended (stops the take first).
    LCutListAudio Recorded();
    bool HasRecording();

    // When the last take stopped because its audio could not be written (a
    // full disk): what the user is told, naming the working folder and the
    // system's reason; "" otherwise.
    std::string WriteFailedMessage() const;

    LSoundRecorder& Recorder() { return recorder_; }
    // Not owned; nullptr for none.
    void SetTakeWatcher(LRecordTakeWatcher* watcher) { watcher_ = watcher; }

private:
    // Stops the recorder and tells the watcher when a take was running.
    void StopRecorder();
    LRecordTakeWatcher* watcher_ = nullptr;
    bool takeRunning_ = false;
    LRecordTarget target_;
    LSoundRecorder recorder_;
    int32_t takeStartMs_ = 0;
    int32_t device_, channel_, volume_, threshold_;
    bool autotrim_, vor_;
    std::vector<std::string> lines_;
};
