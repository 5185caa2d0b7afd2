#include "ui/LKVRepeatDlg.h"

LKVRepeatDlg::LKVRepeatDlg(int32_t times, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Repeat Loop"), parent), value_(times)
{
    setObjectName(QStringLiteral("LKVRepeatDlg"));
    field_ = AddNumberField(101, QStringLiteral("Repeat number of times:"), times);
}

LKVEffectDlg::Failure LKVRepeatDlg::Check()
{
    Failure f;
    ReadNumber(field_, value_, f);
    return f;
}
