#pragma once
#include "app/LKVSpeechChoice.h"
#include "ui/LKVEffectDlg.h"

class QComboBox;
class QPlainTextEdit;
class QSpinBox;

// The "Text To Speech" dialog: the text (typed, pasted or loaded from a text
// file with "Load Text..."), the voice from the synthesizer's list, the speed
// in words per minute and the pitch. OK refuses an empty text.
class LKVSpeechDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    explicit LKVSpeechDlg(const LKVSpeechChoice& choice, QWidget* parent = nullptr);
    const LKVSpeechChoice& Choice() const { return choice_; }
    // Puts the text of the UTF-8 file `path` into the text field; false (with
    // a message naming the file) when it cannot be read.
    bool LoadText(const std::string& path);

protected:
    Failure Check() override;

private:
    void CmLoad();

    LKVSpeechChoice choice_;
    QPlainTextEdit* text_;
    QComboBox* voice_;
    QSpinBox* speed_;
    QSpinBox* pitch_;
};
