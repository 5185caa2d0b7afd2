#include "ui/LKVEchoDlg.h"

#include <QLineEdit>

#include "effects/LEfDialogChecks.h"
#include "effects/LEfPreview.h"

LKVEchoDlg::LKVEchoDlg(int32_t timeMs, int32_t gainPercent, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("Echo"), parent), timeMs_(timeMs), gainPercent_(gainPercent)
{
    setObjectName(QStringLiteral("LKVEchoDlg"));
    time_ = AddNumberField(101, QStringLiteral("Echo Time (ms) :"), timeMs);
    gain_ = AddNumberField(102, QStringLiteral("Echo Gain (%) :"), gainPercent);
    WatchField(time_);
    WatchField(gain_);
}

LKVEffectDlg::Failure LKVEchoDlg::Check()
{
    Failure f;
    if (!ReadNumber(time_, timeMs_, f) || !ReadNumber(gain_, gainPercent_, f))
        return f;
    const std::string message = CheckEcho(timeMs_, gainPercent_);
    return FailIf(message, CheckEcho(timeMs_, 0).empty() ? gain_ : time_);
}

std::unique_ptr<LEfSourceMaker> LKVEchoDlg::MakePreviewMaker() const
{
    return LEfPreview::EchoMaker(TypedNumber(time_), TypedNumber(gain_));
}
