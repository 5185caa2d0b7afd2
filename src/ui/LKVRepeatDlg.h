#pragma once
#include "ui/LKVEffectDlg.h"

// The "Repeat Loop" dialog: how many copies of the selection to insert, any
// whole number (the command repeats nothing for 0 or less).
class LKVRepeatDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVRepeatDlg(int32_t times, QWidget* parent = nullptr);
    int32_t Value() const { return value_; }

protected:
    Failure Check() override;

private:
    QLineEdit* field_;
    int32_t value_;
};
