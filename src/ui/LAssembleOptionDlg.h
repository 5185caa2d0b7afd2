#pragma once
#include <QDialog>

class QCheckBox;
class QSpinBox;

// "AssembleOptionDlg": whether silence goes between assembled regions
// ("AutoGap") and how long it is ("AutoGapTime", ms). Both are stored on OK.
class LAssembleOptionDlg : public QDialog {
    Q_OBJECT
public:
    explicit LAssembleOptionDlg(QWidget* parent = nullptr);
    void accept() override;

    // The sentence the assemble dialog shows for the stored options.
    static QString Summary();

private:
    QCheckBox* gap_;
    QSpinBox* gapMs_;
};
