#include "ui/LRecordDlgAdvanced.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/LRecordDlgModel.h"

LRecordDlgAdvanced::LRecordDlgAdvanced(LRecordDlgModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("LRecordDlgAdvanced"));
    setWindowTitle(QStringLiteral("Advanced Recording Options"));
    autotrim_ = new QCheckBox(QStringLiteral("&Wait for sound before recording, and trim the silence at the end"));
    autotrim_->setObjectName(QStringLiteral("autotrim"));
    autotrim_->setChecked(model_.Autotrim());
    threshold_ = new QSpinBox;
    threshold_->setObjectName(QStringLiteral("threshold"));
    threshold_->setRange(-40, -6);
    threshold_->setSuffix(QStringLiteral(" dB"));
    threshold_->setValue(model_.Threshold());
    threshold_->setEnabled(autotrim_->isChecked());
    auto* thresholdLabel = new QLabel(QStringLiteral("Sound starts above &level:"));
    thresholdLabel->setBuddy(threshold_);
    thresholdLabel->setEnabled(autotrim_->isChecked());
    connect(autotrim_, &QCheckBox::toggled, this, [this, thresholdLabel](bool on) {
        threshold_->setEnabled(on);
        thresholdLabel->setEnabled(on);
    });
    vor_ = new QCheckBox(QStringLiteral("&Pause recording during silences of 5 seconds"));
    vor_->setObjectName(QStringLiteral("vor"));
    vor_->setChecked(model_.Vor());

    auto* grid = new QGridLayout;
    grid->addWidget(autotrim_, 0, 0, 1, 4);
    grid->addItem(new QSpacerItem(20, 1), 1, 0);
    grid->addWidget(thresholdLabel, 1, 1);
    grid->addWidget(threshold_, 1, 2);
    grid->addWidget(vor_, 2, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &LRecordDlgAdvanced::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &LRecordDlgAdvanced::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void LRecordDlgAdvanced::accept()
{
    model_.SetAdvanced(autotrim_->isChecked(), vor_->isChecked(), threshold_->value());
    QDialog::accept();
}
