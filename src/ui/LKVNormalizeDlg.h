#pragma once
#include "ui/LKVEffectDlg.h"

// The "Normalize" dialog: the peak level in percent of full scale, at most 100.
class LKVNormalizeDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVNormalizeDlg(int32_t peakLevelPercent, QWidget* parent = nullptr);
    int32_t Value() const { return value_; }

protected:
    Failure Check() override;

private:
    QLineEdit* field_;
    int32_t value_;
};
