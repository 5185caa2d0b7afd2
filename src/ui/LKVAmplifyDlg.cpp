#include "ui/LKVAmplifyDlg.h"

#include "effects/LEfDialogChecks.h"

LKVAmplifyDlg::LKVAmplifyDlg(int32_t gainPercent, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Amplify"), parent), value_(gainPercent)
{
    setObjectName(QStringLiteral("LKVAmplifyDlg"));
    field_ = AddNumberField(101, QStringLiteral("Amplify Gain (%):"), gainPercent);
}

LKVEffectDlg::Failure LKVAmplifyDlg::Check()
{
    Failure f;
    if (!ReadNumber(field_, value_, f))
        return f;
    return FailIf(CheckAmplifyGain(value_), field_);
}
