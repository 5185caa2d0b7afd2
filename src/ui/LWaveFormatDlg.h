#pragma once
#include <QDialog>
#include <vector>

#include "core/LUi.h"

class QComboBox;

// The WAV save-format chooser: a format (PCM, IMA ADPCM, ...) and then one of
// its attribute sets (rate, bits, channels, data rate), like the platform's
// format chooser did.
class LWaveFormatDlg : public QDialog {
    Q_OBJECT
public:
    // `chosen` is the entry selected at first, or -1.
    LWaveFormatDlg(const QString& title, const std::vector<LUiChoice>& choices, int32_t chosen,
                   QWidget* parent = nullptr);
    // The index into the choices, or -1 when there are none.
    int32_t Chosen() const;

private:
    void FillAttributes(int32_t select);

    const std::vector<LUiChoice>& choices_;
    QComboBox* format_;
    QComboBox* attributes_;
};
