#pragma once
#include "ui/LKVPreviewDialog.h"

// The "Echo" dialog: the time between repeats in milliseconds (10 to 2999) and
// the gain of each repeat in percent (at most 99), tested in that order. The
// preview plays the values as typed, clamped to 10..3000 ms and 99 %.
class LKVEchoDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVEchoDlg(int32_t timeMs, int32_t gainPercent, QWidget* parent = nullptr);
    int32_t TimeMs() const { return timeMs_; }
    int32_t GainPercent() const { return gainPercent_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    QLineEdit* time_;
    QLineEdit* gain_;
    int32_t timeMs_;
    int32_t gainPercent_;
};
