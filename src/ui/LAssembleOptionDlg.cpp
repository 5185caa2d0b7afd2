#include "ui/LAssembleOptionDlg.h"

#include <QCheckBox>
#include <algorithm>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/LSettingsTable.h"

namespace S = LKVSettings;

namespace {
// A minute of silence between two regions is already more than anyone asks for.
constexpr int kMaxGapMs = 60000;
}

LAssembleOptionDlg::LAssembleOptionDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AssembleOptionDlg"));
    setWindowTitle(QStringLiteral("Assemble Options"));
    gap_ = new QCheckBox(QStringLiteral("&Insert silence between regions"));
    gap_->setObjectName(QStringLiteral("AutoGap"));
    gap_->setChecked(S::kAutoGap.Read());
    gapMs_ = new QSpinBox;
    gapMs_->setObjectName(QStringLiteral("AutoGapTime"));
    gapMs_->setRange(0, kMaxGapMs);
    gapMs_->setSingleStep(50);
    gapMs_->setSuffix(QStringLiteral(" ms"));
    gapMs_->setValue(std::clamp(S::kAutoGapTime.Read(), 0, kMaxGapMs));
    gapMs_->setEnabled(gap_->isChecked());
    connect(gap_, &QCheckBox::toggled, gapMs_, &QSpinBox::setEnabled);
    auto* length = new QLabel(QStringLiteral("&Length of the silence:"));
    length->setBuddy(gapMs_);

    auto* row = new QHBoxLayout;
    row->addSpacing(20);
    row->addWidget(length);
    row->addWidget(gapMs_);
    row->addStretch();
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LAssembleOptionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(gap_);
    layout->addLayout(row);
    layout->addSpacing(8);
    layout->addWidget(buttons);
    setMinimumWidth(320);
    setFixedSize(sizeHint().expandedTo(minimumSize()));
}

void LAssembleOptionDlg::accept()
{
    S::kAutoGap.Write(gap_->isChecked());
    S::kAutoGapTime.Write(gapMs_->value());
    QDialog::accept();
}

QString LAssembleOptionDlg::Summary()
{
    if (!S::kAutoGap.Read())
        return QStringLiteral("The regions follow each other without a gap.");
    return QStringLiteral("%1 ms of silence goes between the regions.").arg(std::max(0, S::kAutoGapTime.Read()));
}
