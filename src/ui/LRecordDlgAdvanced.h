#pragma once
#include <QDialog>

class LRecordDlgModel;
class QCheckBox;
class QSpinBox;

// The record dialog's automatic modes: "Autotrim" (wait for sound above the
// threshold, -40..-6 dB, editable only with it on, and trim the silence at
// the end) and "Vor" (pause during silences of 5 seconds). OK stores them.
class LRecordDlgAdvanced : public QDialog {
    Q_OBJECT
public:
    LRecordDlgAdvanced(LRecordDlgModel& model, QWidget* parent = nullptr);
    void accept() override;

private:
    LRecordDlgModel& model_;
    QCheckBox* autotrim_;
    QCheckBox* vor_;
    QSpinBox* threshold_;
};
