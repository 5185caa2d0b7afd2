#pragma once
#include "devices/LSoundRecorderNotify.h"
#include "ui/LPlayerBaseDlg.h"

class LDBDisplay;
class LKVDeviceCombo;
class LKVLoudnessLabel;
class LRecordDlgModel;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;

// The record dialog: the transport dialog with a recorder added. The first
// take starts as the dialog opens. While recording, the transport's Go to
// Start, Forward and Go to End buttons are Restart (F6: everything recorded
// here goes), Re-Take (F7: the current take goes) and Record Next (F5: the
// dialog ends keeping the recording, to record again after it); Record (F8)
// starts a take at the position when not recording. Stopped, the buttons
// review the recording with the dialog's player. Keep ends with what was
// recorded, Discard drops it. A device that goes away, or a working folder that
// cannot take the audio (a full disk), ends the take, keeping what was
// recorded, and says so.
class LRecordDlg : public LPlayerBaseDlg, private LSoundRecorderNotify {
    Q_OBJECT
public:
    // The results of exec(): what the model's caller is told.
    enum Result { kDiscard = 0, kKeep = 1, kRecordNext = 2 };
    static constexpr const char* kDeviceLostMessage =
        "The recording device stopped delivering sound. Everything recorded up to then is kept.";

    LRecordDlg(LRecordDlgModel& model, QWidget* parent = nullptr);
    ~LRecordDlg() override;

    void reject() override;
    // The time shown, as text (for tests).
    QString Shown() const { return TimeShown(); }
    LDBDisplay* RecordMeter() const { return recordMeter_; }
    QPushButton* RecordButton() const { return record_; }
    LRecordDlgModel& RecordModel() { return model_; }

protected:
    void ButtonClicked(Button b) override;
    void ButtonPressed(Button b) override;
    void ButtonReleased(Button b) override;
    void ShortcutPressed(Button b) override;
    bool EscapeStops() override;
    void PlayerPositionChanged() override;

private:
    void RecordStarted(uint32_t) override { Update(); }
    void RecordWaiting(uint32_t) override { Update(); }
    void RecordStopped(uint32_t) override;
    void RecordPosition(int32_t ms, uint32_t) override;
    void RecordLevels(const LChannelLevels& levels, uint32_t) override;
    void RecordLoudness(const LLoudnessReading& loudness, uint32_t) override;

    void Update();
    void FillLines();
    void StartTake(int32_t ms);
    void StopTake();
    // The recording so far goes to the dialog's player for review, the
    // position at its end.
    void Review();
    void RunMixer();

    LRecordDlgModel& model_;
    int shownRecording_ = -1;  // what the buttons show: 1 recording, 0 stopped
    bool deviceFailed_ = false;
    LKVDeviceCombo* device_;
    QComboBox* line_;
    QSlider* volume_;
    QLabel* volumeLabel_;
    QLabel* volumeValue_;
    LDBDisplay* recordMeter_;
    LKVLoudnessLabel* recordLoudness_;
    QLabel* state_;
    QPushButton* record_;
    QPushButton* keep_;
};
