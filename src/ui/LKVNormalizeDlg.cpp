#include "ui/LKVNormalizeDlg.h"

#include "effects/LEfDialogChecks.h"

LKVNormalizeDlg::LKVNormalizeDlg(int32_t peakLevelPercent, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Normalize"), parent), value_(peakLevelPercent)
{
    setObjectName(QStringLiteral("LKVNormalizeDlg"));
    field_ = AddNumberField(101, QStringLiteral("Normalize Peak Level (%):"), peakLevelPercent);
}

LKVEffectDlg::Failure LKVNormalizeDlg::Check()
{
    Failure f;
    if (!ReadNumber(field_, value_, f))
        return f;
    return FailIf(CheckNormalizePeakLevel(value_), field_);
}
