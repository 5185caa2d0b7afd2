#pragma once
#include "ui/LKVEffectDlg.h"

// The insert-silence dialog, captioned with the command name: the time in
// milliseconds, any whole number (the command inserts nothing for 0 or less).
class LKVSilenceDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVSilenceDlg(const QString& caption, int32_t ms, QWidget* parent = nullptr);
    int32_t Value() const { return value_; }

protected:
    Failure Check() override;

private:
    QLineEdit* field_;
    int32_t value_;
};
