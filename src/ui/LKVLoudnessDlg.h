#pragma once
#include <QDialog>

#include "core/LUi.h"

// The loudness analysis's window: what was measured, its integrated loudness,
// loudness range, maximum momentary and short-term loudness and true peak.
class LKVLoudnessDlg : public QDialog {
    Q_OBJECT
public:
    LKVLoudnessDlg(const LUiLoudnessReport& report, QWidget* parent = nullptr);
};
