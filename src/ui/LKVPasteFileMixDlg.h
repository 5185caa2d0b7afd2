#pragma once
#include "core/LUi.h"
#include "ui/LKVEffectDlg.h"

class QRadioButton;
class QSlider;

// The dialog of "Paste Mix" and "Mix File", captioned with the command: the
// mix volume (101, at most 100 %), the stereo pan (106, 0..100, enabled only
// for a stereo document), what to do when the mix is longer than the
// selection (102 "Increase selection", 103 "Insert silence", 104 "Fade out
// mix", enabled only when the document has audio) and the fade-out length in
// sample frames (105, enabled only with 104 and read only then).
class LKVPasteFileMixDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVPasteFileMixDlg(const QString& caption, const LUiMixValues& values, QWidget* parent = nullptr);
    const LUiMixValues& Values() const { return values_; }

protected:
    Failure Check() override;

private:
    int32_t CheckedMode() const;

    LUiMixValues values_;
    QLineEdit* volume_;
    QSlider* pan_;
    QRadioButton* increase_;
    QRadioButton* insert_;
    QRadioButton* fade_;
    QLineEdit* fadeTime_;
};
