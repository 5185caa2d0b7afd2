#include "ui/LKVSpectrogramDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include <cstdlib>

#include "app/LSettingsTable.h"
#include "display/LSpectrogramColumn.h"
#include "ui/LKVDialogExec.h"

LKVSpectrogramDlg::LKVSpectrogramDlg(int32_t fftSize, bool logFrequency, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("SpectrogramDlg"));
    setWindowTitle(QStringLiteral("Spectrogram Options"));
    size_ = new QComboBox;
    size_->setObjectName(QStringLiteral("fftSize"));
    int best = 0;
    for (int32_t n = kSpectrogramMinFFT; n <= kSpectrogramMaxFFT; n *= 2) {
        size_->addItem(QStringLiteral("%1 frames").arg(n), n);
        if (std::abs(n - fftSize) < std::abs(size_->itemData(best).toInt() - fftSize))
            best = size_->count() - 1;
    }
    size_->setCurrentIndex(best);
    log_ = new QCheckBox(QStringLiteral("&Logarithmic frequency axis"));
    log_->setObjectName(QStringLiteral("logFrequency"));
    log_->setChecked(logFrequency);
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("&FFT size:"), size_);
    form->addRow(log_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    setFixedSize(sizeHint().expandedTo(QSize(300, 0)));
}

int32_t LKVSpectrogramDlg::FftSize() const { return size_->currentData().toInt(); }

bool LKVSpectrogramDlg::LogFrequency() const { return log_->isChecked(); }

bool LKVSpectrogramDlg::Run(QWidget* parent)
{
    LKVSpectrogramDlg dlg(LKVSettings::kSpectrogramFFTSize.Read(), LKVSettings::kSpectrogramLogFrequency.Read(), parent);
    if (LKVExec(dlg) != QDialog::Accepted)
        return false;
    LKVSettings::kSpectrogramFFTSize.Write(dlg.FftSize());
    LKVSettings::kSpectrogramLogFrequency.Write(dlg.LogFrequency());
    return true;
}
