#pragma once
#include "ui/LKVPreviewDialog.h"

// The dialog of the three speed and pitch commands. Its caption is the
// command's name, which picks the mode (0 "Simple Speed and Pitch Change",
// 1 "Constant Pitch and Speed Change", 2 "Constant Speed and Pitch Change")
// and the label of the percent field; 100 % changes nothing, at most 300.
class LKVSpeedChangeDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVSpeedChangeDlg(const QString& caption, int32_t percent, QWidget* parent = nullptr);
    int32_t Percent() const { return percent_; }
    int32_t Mode() const { return mode_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    QLineEdit* field_;
    int32_t mode_;
    int32_t percent_;
};
