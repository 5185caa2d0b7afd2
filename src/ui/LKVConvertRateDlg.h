#pragma once
#include "ui/LKVEffectDlg.h"

class QComboBox;

// The "Convert Sample Rate" dialog: the new rate in Hz, picked from the
// common rates or typed, within the range the converters produce.
class LKVConvertRateDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVConvertRateDlg(int32_t rate, int32_t currentRate, QWidget* parent = nullptr);
    int32_t Rate() const { return rate_; }

protected:
    Failure Check() override;

private:
    QComboBox* rates_;
    int32_t rate_;
};
