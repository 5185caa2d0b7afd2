#pragma once
#include <QDialog>

#include "cd/LCDBurnDlgModel.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

// "CDRecorder": writes the model's tracks to an audio CD. The drive and speed,
// the tracks with their titles and durations and the total against the disc in
// the drive, the options, and Burn, which stores the settings and runs the burn
// under the progress window; the dialog closes after a burn that went through.
class LCDBurnDlg : public QDialog {
    Q_OBJECT
public:
    LCDBurnDlg(LCDBurnDlgModel& model, QWidget* parent = nullptr);

    // Stores the options shown and burns; the job's result (kJobFailed also when
    // nothing could start).
    int32_t Burn();
    // The total line and the disc line as shown.
    QString TotalText() const;
    QString DiscText() const;

    // The speed factors offered besides "[MAX]".
    static constexpr uint16_t kSpeeds[] = {1, 2, 4, 8, 10, 12, 16, 20, 24, 32, 40, 48, 52};

private:
    void FillTracks();
    void ReadDisc();
    void UpdateTotal();
    void UpdateEnabled();
    void TakeOptions();
    void MoveSelected(int32_t step);

    LCDBurnDlgModel& model_;
    LCDBurnDlgModel::Disc disc_;
    QComboBox* drive_;
    QComboBox* speed_;
    QLabel* disc_label_;
    QTreeWidget* tracks_;
    QLabel* total_;
    QLineEdit* album_;
    QCheckBox* erase_;
    QCheckBox* overburn_;
    QCheckBox* discAtOnce_;
    QCheckBox* simulate_;
    QCheckBox* verify_;
    QCheckBox* internal_;
    QLineEdit* folder_;
    QPushButton* browse_;
    QPushButton* burn_;
    bool filling_ = false;
};
