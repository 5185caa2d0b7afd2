#include "ui/LKVHighPassDlg.h"

#include <QLineEdit>

#include "effects/LEfPreview.h"

LKVHighPassDlg::LKVHighPassDlg(int32_t frequency, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("High-Pass Filter"), parent), frequency_(frequency)
{
    setObjectName(QStringLiteral("LKVHighPassDlg"));
    field_ = AddNumberField(101, QStringLiteral("Frequency (Hz) :"), frequency);
    WatchField(field_);
}

LKVEffectDlg::Failure LKVHighPassDlg::Check()
{
    Failure f;
    ReadNumber(field_, frequency_, f);
    return f;
}

std::unique_ptr<LEfSourceMaker> LKVHighPassDlg::MakePreviewMaker() const
{
    return LEfPreview::HighPassMaker(TypedNumber(field_));
}
