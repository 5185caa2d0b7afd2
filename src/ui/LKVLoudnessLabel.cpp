#include "ui/LKVLoudnessLabel.h"

LKVLoudnessLabel::LKVLoudnessLabel(const QString& what, QWidget* parent) : QLabel(parent)
{
    setObjectName(QStringLiteral("loudness"));
    setToolTip(QStringLiteral("Loudness of what is %1 (EBU R128): momentary over 0.4 s and short-term over 3 s, "
                              "in LUFS")
                   .arg(what));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const QString widest = QString::fromStdString(LLoudnessReading{-88.8, -88.8}.Text());
    setMinimumWidth(fontMetrics().horizontalAdvance(widest + QStringLiteral("  ")));
    Clear();
}

void LKVLoudnessLabel::SetReading(const LLoudnessReading& reading)
{
    setText(QString::fromStdString(reading.Text()));
}
