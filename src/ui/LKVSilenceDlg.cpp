#include "ui/LKVSilenceDlg.h"

LKVSilenceDlg::LKVSilenceDlg(const QString& caption, int32_t ms, QWidget* parent)
    : LKVEffectDlg(caption, parent), value_(ms)
{
    setObjectName(QStringLiteral("LKVSilenceDlg"));
    field_ = AddNumberField(101, QStringLiteral("Silence Time (ms):"), ms);
}

LKVEffectDlg::Failure LKVSilenceDlg::Check()
{
    Failure f;
    ReadNumber(field_, value_, f);
    return f;
}
