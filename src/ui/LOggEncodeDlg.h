#pragma once
#include <QDialog>

#include "formats/LOggEncoderSettings.h"

class LKVChoiceCombo;
class QRadioButton;

// "OggEncodeDlg": the Ogg Vorbis encoder's options; the average and variable
// bit-rate buttons each enable only their own controls.
class LOggEncodeDlg : public QDialog {
    Q_OBJECT
public:
    LOggEncodeDlg(const LOggEncoderSettings& settings, QWidget* parent = nullptr);
    LOggEncoderSettings Settings() const;
    void Show(const LOggEncoderSettings& settings);

private:
    void UpdateEnabled();

    QRadioButton* abr_;
    QRadioButton* vbr_;
    LKVChoiceCombo* abrRate_;
    LKVChoiceCombo* vbrMin_;
    LKVChoiceCombo* vbrMax_;
    LKVChoiceCombo* vbrQuality_;
    LKVChoiceCombo* channels_;
    LKVChoiceCombo* sampleRate_;
};
