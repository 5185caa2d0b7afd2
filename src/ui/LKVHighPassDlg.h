#pragma once
#include "ui/LKVPreviewDialog.h"

// The "High-Pass Filter" dialog: the cut-off value in Hz, any whole number
// (the filter's corner is twice it, in the job and in the preview alike).
class LKVHighPassDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVHighPassDlg(int32_t frequency, QWidget* parent = nullptr);
    int32_t Frequency() const { return frequency_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    QLineEdit* field_;
    int32_t frequency_;
};
