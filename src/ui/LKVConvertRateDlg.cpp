#include "ui/LKVConvertRateDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>

#include "effects/LEfDialogChecks.h"

namespace {
constexpr int32_t kCommonRates[] = {8000, 11025, 16000, 22050, 24000, 32000, 44100, 48000, 88200, 96000, 176400,
                                    192000};
}

LKVConvertRateDlg::LKVConvertRateDlg(int32_t rate, int32_t currentRate, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Convert Sample Rate"), parent), rate_(rate)
{
    setObjectName(QStringLiteral("LKVConvertRateDlg"));
    if (currentRate > 0)
        Form().addRow(QStringLiteral("Current Sample Rate:"), new QLabel(QStringLiteral("%1 Hz").arg(currentRate)));
    rates_ = new QComboBox;
    rates_->setObjectName(IdName(101));
    rates_->setEditable(true);
    rates_->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t r : kCommonRates)
        rates_->addItem(QString::number(r));
    rates_->lineEdit()->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[-+]?[0-9]{0,10}")), rates_));
    rates_->lineEdit()->setAlignment(Qt::AlignRight);
    rates_->setCurrentText(QString::number(rate));
    rates_->setMinimumWidth(rates_->fontMetrics().horizontalAdvance(QStringLiteral("0000000")) + 48);
    Form().addRow(QStringLiteral("New Sample Rate (Hz):"), rates_);
}

LKVEffectDlg::Failure LKVConvertRateDlg::Check()
{
    Failure f;
    if (!ReadNumber(rates_->lineEdit(), rate_, f)) {
        f.field = rates_;
        return f;
    }
    return FailIf(CheckConvertSampleRate(rate_), rates_);
}
