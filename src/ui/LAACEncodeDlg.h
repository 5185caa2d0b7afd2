#pragma once
#include <QDialog>

#include "formats/LAACEncoderSettings.h"

class LKVChoiceCombo;
class QCheckBox;
class QRadioButton;

// "AACEncodeDlg": the AAC encoder's options; the average bit-rate and the
// quality buttons each enable only their own control.
class LAACEncodeDlg : public QDialog {
    Q_OBJECT
public:
    LAACEncodeDlg(const LAACEncoderSettings& settings, QWidget* parent = nullptr);
    LAACEncoderSettings Settings() const;
    void Show(const LAACEncoderSettings& settings);

private:
    void UpdateEnabled();

    QRadioButton* abr_;
    QRadioButton* vbr_;
    LKVChoiceCombo* abrRate_;
    LKVChoiceCombo* quality_;
    LKVChoiceCombo* channels_;
    LKVChoiceCombo* sampleRate_;
    QCheckBox* mpeg2_;
    QCheckBox* noTns_;
};
