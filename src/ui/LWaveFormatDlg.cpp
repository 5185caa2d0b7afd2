#include "ui/LWaveFormatDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>

LWaveFormatDlg::LWaveFormatDlg(const QString& title, const std::vector<LUiChoice>& choices, int32_t chosen,
                               QWidget* parent)
    : QDialog(parent), choices_(choices)
{
    setObjectName(QStringLiteral("WaveFormatChooser"));
    setWindowTitle(title);
    format_ = new QComboBox;
    format_->setObjectName(QStringLiteral("format"));
    attributes_ = new QComboBox;
    attributes_->setObjectName(QStringLiteral("attributes"));
    attributes_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (const LUiChoice& c : choices)
        if (format_->findText(QString::fromStdString(c.name)) < 0)
            format_->addItem(QString::fromStdString(c.name));
    if (chosen >= 0 && size_t(chosen) < choices.size())
        format_->setCurrentText(QString::fromStdString(choices[size_t(chosen)].name));
    FillAttributes(chosen);
    connect(format_, &QComboBox::currentIndexChanged, this, [this] { FillAttributes(-1); });

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    buttons->button(QDialogButtonBox::Ok)->setEnabled(!choices.empty());
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("&Format:"), format_);
    form->addRow(QStringLiteral("&Attributes:"), attributes_);
    form->addRow(buttons);
    setMinimumWidth(420);
}

void LWaveFormatDlg::FillAttributes(int32_t select)
{
    attributes_->clear();
    const QString name = format_->currentText();
    for (size_t i = 0; i < choices_.size(); ++i)
        if (QString::fromStdString(choices_[i].name) == name) {
            attributes_->addItem(QString::fromStdString(choices_[i].detail), int32_t(i));
            if (int32_t(i) == select)
                attributes_->setCurrentIndex(attributes_->count() - 1);
        }
}

int32_t LWaveFormatDlg::Chosen() const { return attributes_->count() ? attributes_->currentData().toInt() : -1; }
