#include "ui/LKVLoudnessDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "effects/LEfLoudnessScan.h"

namespace {

QLabel* Value(double value, const char* unit, const char* name)
{
    auto* label = new QLabel(QString::fromStdString(LEfLoudnessScan::Format(value)) + QChar(' ') +
                             QString::fromUtf8(unit));
    label->setObjectName(QString::fromUtf8(name));
    label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

LKVLoudnessDlg::LKVLoudnessDlg(const LUiLoudnessReport& report, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LKVLoudnessDlg"));
    setWindowTitle(QStringLiteral("Loudness"));
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    auto* what = new QLabel(QString::fromStdString(report.what));
    what->setObjectName(QStringLiteral("what"));
    QFont bold = what->font();
    bold.setBold(true);
    what->setFont(bold);
    layout->addWidget(what);
    auto* form = new QFormLayout;
    form->setHorizontalSpacing(24);
    form->addRow(QStringLiteral("Integrated loudness:"), Value(report.integrated, "LUFS", "integrated"));
    form->addRow(QStringLiteral("Loudness range:"), Value(report.range, "LU", "range"));
    form->addRow(QStringLiteral("Maximum momentary loudness:"), Value(report.maxMomentary, "LUFS", "momentary"));
    form->addRow(QStringLiteral("Maximum short-term loudness:"), Value(report.maxShortTerm, "LUFS", "shortTerm"));
    form->addRow(QStringLiteral("True peak:"), Value(report.truePeak, "dBTP", "truePeak"));
    layout->addLayout(form);
    auto* note = new QLabel(QStringLiteral("ITU-R BS.1770-4 / EBU R128. Broadcast aims at -23 LUFS, podcasts at "
                                           "-16 LUFS,\nstreaming at -14 LUFS; true peaks stay below -1 dBTP."));
    note->setEnabled(false);
    layout->addWidget(note);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}
