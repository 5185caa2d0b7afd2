#pragma once
#include <QDialog>

#include "formats/LFlacEncoderSettings.h"

class LKVChoiceCombo;

// "FlacEncodeDlg": the FLAC encoder's compression level, channels and rate.
class LFlacEncodeDlg : public QDialog {
    Q_OBJECT
public:
    LFlacEncodeDlg(const LFlacEncoderSettings& settings, QWidget* parent = nullptr);
    LFlacEncoderSettings Settings() const;
    void Show(const LFlacEncoderSettings& settings);

private:
    LKVChoiceCombo* compression_;
    LKVChoiceCombo* channels_;
    LKVChoiceCombo* sampleRate_;
};
