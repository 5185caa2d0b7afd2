#pragma once
#include "ui/LKVEffectDlg.h"

// The "Amplify" dialog: the gain in percent, at most 400.
class LKVAmplifyDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVAmplifyDlg(int32_t gainPercent, QWidget* parent = nullptr);
    int32_t Value() const { return value_; }

protected:
    Failure Check() override;

private:
    QLineEdit* field_;
    int32_t value_;
};
