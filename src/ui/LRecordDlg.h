#pragma once
#include <QDialog>

#include "devices/LSoundRecorderNotify.h"

class LDBDisplay;
class LRecordDlgModel;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

// "LRecordDlg": records takes through the record dialog's model. The first take
// starts as the dialog opens. Record (F8) starts a take at the end of what was
// recorded; while recording, Restart (F6) drops everything, Re-Take (F7) the
// current take, and Record Next (F5) keeps the recording and records again
// after it. Keep ends with what was recorded, Discard drops it.
class LRecordDlg : public QDialog, private LSoundRecorderNotify {
    Q_OBJECT
public:
    // The results of exec(): what the model's caller is told.
    enum Result { kDiscard = 0, kKeep = 1, kRecordNext = 2 };

    LRecordDlg(LRecordDlgModel& model, QWidget* parent = nullptr);
    ~LRecordDlg() override;

    void reject() override;
    // The recorded length shown, as text (for tests).
    QString Shown() const;

private:
    void RecordStarted(uint32_t) override { Update(); }
    void RecordWaiting(uint32_t) override { Update(); }
    void RecordStopped(uint32_t) override { Update(); }
    void RecordPosition(int32_t ms, uint32_t) override;
    void RecordLevels(const LChannelLevels& levels, uint32_t) override;

    void Update();
    void FillLines();
    void StartTake(int32_t ms);

    LRecordDlgModel& model_;
    int32_t positionMs_ = 0;
    bool deviceFailed_ = false;
    QComboBox* device_;
    QComboBox* line_;
    QSlider* volume_;
    QLabel* volumeLabel_;
    QCheckBox* autotrim_;
    QCheckBox* vor_;
    QSpinBox* threshold_;
    LDBDisplay* meter_;
    QLabel* state_;
    QLabel* time_;
    QPushButton* record_;
    QPushButton* stop_;
    QPushButton* restart_;
    QPushButton* retake_;
    QPushButton* next_;
    QPushButton* keep_;
};
