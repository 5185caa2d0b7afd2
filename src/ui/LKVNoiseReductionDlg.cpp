#include "ui/LKVNoiseReductionDlg.h"

#include <QFormLayout>

#include "effects/LEfLevelChecks.h"
#include "ui/LKVLevelControl.h"

LKVNoiseReductionDlg::LKVNoiseReductionDlg(int32_t levelDb, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Noise Reduction"), parent), level_(levelDb)
{
    setObjectName(QStringLiteral("LKVNoiseReductionDlg"));
    control_ = new LKVLevelControl(kLevelControlMin, 0, levelDb);
    control_->setObjectName(IdName(101));
    Form().addRow(QStringLiteral("Noise Gate Level:"), control_);
}

LKVEffectDlg::Failure LKVNoiseReductionDlg::Check()
{
    level_ = control_->Value();
    return FailIf(CheckNoiseGateLevel(level_), control_);
}
