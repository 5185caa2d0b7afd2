#include "ui/LConvertRateDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>

#include "core/LSettings.h"
#include "core/LUi.h"
#include "app/LSettingsTable.h"
#include "formats/LRawSettings.h"

namespace {
constexpr char kSection[] = "StoredValues";
constexpr char kName[] = "ConvertSampleRate";
} // namespace

LConvertRateDlg::LConvertRateDlg(int32_t currentRate, QWidget* parent)
    : LConvertRateDlg(currentRate, LSettings::ReadInt(kSection, kName, 44100), true, parent)
{
}

LConvertRateDlg::LConvertRateDlg(int32_t currentRate, int32_t proposedRate, bool remember, QWidget* parent)
    : QDialog(parent), remember_(remember)
{
    setObjectName(QStringLiteral("ConvertRateDlg"));
    setWindowTitle(QStringLiteral("Convert Sample Rate"));
    combo_ = new QComboBox;
    combo_->setObjectName(QStringLiteral("rate"));
    combo_->setEditable(true);
    combo_->setInsertPolicy(QComboBox::NoInsert);
    for (int32_t r : LRawSettings::kDialogRates)
        combo_->addItem(QString::number(r));
    combo_->lineEdit()->setValidator(new QIntValidator(0, 99999999, combo_));
    combo_->setCurrentText(QString::number(proposedRate));
    qualityCombo_ = new QComboBox;
    qualityCombo_->setObjectName(QStringLiteral("quality"));
    qualityCombo_->addItem(QStringLiteral("Standard"));
    qualityCombo_->addItem(QStringLiteral("High"));
    qualityCombo_->setToolTip(QStringLiteral("High: a much cleaner converter (libsoxr), several times slower"));
    qualityCombo_->setCurrentIndex(int(LKVConvertRateQuality()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LConvertRateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    if (currentRate > 0)
        form->addRow(QStringLiteral("Current rate:"), new QLabel(QStringLiteral("%1 Hz").arg(currentRate)));
    form->addRow(QStringLiteral("&New rate (Hz):"), combo_);
    form->addRow(QStringLiteral("&Quality:"), qualityCombo_);
    form->addRow(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

void LConvertRateDlg::accept()
{
    const int32_t rate = combo_->currentText().trimmed().toInt();
    if (rate < LRawSettings::kMinDialogRate || rate > LRawSettings::kMaxDialogRate) {
        LUiGet().Message("Please enter a sample rate between 6000 and 196000.", "Error", LUiButtons::Ok,
                         LUiIcon::Stop);
        return;
    }
    if (remember_)
        LSettings::WriteInt(kSection, kName, rate);
    rate_ = rate;
    quality_ = qualityCombo_->currentIndex() == 1 ? LRateQuality::High : LRateQuality::Standard;
    LKVSettings::kConvertRateQuality.Write(int32_t(quality_));
    QDialog::accept();
}
