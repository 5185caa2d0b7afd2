#pragma once
#include <QDialog>

#include "formats/LMp3EncoderSettings.h"

class LKVChoiceCombo;
class QCheckBox;
class QRadioButton;

// "LMp3EncodeDlg": the MP3 encoder's options. The constant and variable
// bit-rate buttons each enable only their own controls.
class LMp3EncodeDlg : public QDialog {
    Q_OBJECT
public:
    LMp3EncodeDlg(const LMp3EncoderSettings& settings, QWidget* parent = nullptr);
    LMp3EncoderSettings Settings() const;
    void Show(const LMp3EncoderSettings& settings);

private:
    void UpdateEnabled();

    QRadioButton* cbr_;
    QRadioButton* vbr_;
    LKVChoiceCombo* cbrRate_;
    QCheckBox* highQuality_;
    LKVChoiceCombo* vbrMin_;
    LKVChoiceCombo* vbrMax_;
    LKVChoiceCombo* vbrQuality_;
    QCheckBox* errorProtection_;
    LKVChoiceCombo* channelMode_;
};
