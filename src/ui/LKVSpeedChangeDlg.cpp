#include "ui/LKVSpeedChangeDlg.h"

#include <QLineEdit>

#include "effects/LEfDialogChecks.h"
#include "effects/LEfPreview.h"

LKVSpeedChangeDlg::LKVSpeedChangeDlg(const QString& caption, int32_t percent, QWidget* parent)
    : LKVPreviewDialog(caption, parent), mode_(SpeedChangeModeOf(caption.toStdString())), percent_(percent)
{
    setObjectName(QStringLiteral("LKVSpeedChangeDlg"));
    // An unknown caption runs as the simple change, as the job would.
    const char* label = SpeedChangeFieldLabel(mode_ < 0 ? 0 : mode_);
    field_ = AddNumberField(101, QString::fromUtf8(label), percent);
    WatchField(field_);
}

LKVEffectDlg::Failure LKVSpeedChangeDlg::Check()
{
    Failure f;
    if (!ReadNumber(field_, percent_, f))
        return f;
    return FailIf(CheckSpeedChangePercent(percent_), field_);
}

std::unique_ptr<LEfSourceMaker> LKVSpeedChangeDlg::MakePreviewMaker() const
{
    return LEfPreview::SpeedMaker(mode_ < 0 ? 0 : mode_, TypedNumber(field_));
}
