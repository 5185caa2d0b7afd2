#include "ui/LKVReverbDlg.h"

#include <QLineEdit>

#include "effects/LEfDialogChecks.h"
#include "effects/LEfPreview.h"

LKVReverbDlg::LKVReverbDlg(int32_t levelPercent, int32_t timeMs, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("Reverb"), parent), levelPercent_(levelPercent), timeMs_(timeMs)
{
    setObjectName(QStringLiteral("LKVReverbDlg"));
    level_ = AddNumberField(101, QStringLiteral("Reverb Level (0 - 100):"), levelPercent);
    time_ = AddNumberField(102, QStringLiteral("Reverb Time (50 - 1000 ms):"), timeMs);
    WatchField(level_);
    WatchField(time_);
}

LKVEffectDlg::Failure LKVReverbDlg::Check()
{
    Failure f;
    if (!ReadNumber(level_, levelPercent_, f) || !ReadNumber(time_, timeMs_, f))
        return f;
    const std::string message = CheckReverb(levelPercent_, timeMs_);
    return FailIf(message, CheckReverb(levelPercent_, 50).empty() ? time_ : level_);
}

std::unique_ptr<LEfSourceMaker> LKVReverbDlg::MakePreviewMaker() const
{
    return LEfPreview::ReverbMaker(TypedNumber(level_), TypedNumber(time_));
}
