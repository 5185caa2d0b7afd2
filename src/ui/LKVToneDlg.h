#pragma once
#include <memory>

#include "app/LKVToneSettings.h"
#include "edit/LPlayerPort.h"
#include "ui/LKVEffectDlg.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

// The "Tone Generator" dialog: the waveform and its values, the format of a new
// document, and whether the tone makes a new document or goes in at the cursor
// (at the document's format). Only the fields the chosen waveform uses are
// enabled. OK checks the tone (LToneParams::Check) and the dialog stays open on
// the field at fault. Preview (id 140) plays the tone as typed on its own
// player on "SoundOutDevice"; a change while it plays restarts it.
class LKVToneDlg : public LKVEffectDlg, private LPlayerListener {
    Q_OBJECT
public:
    explicit LKVToneDlg(const LKVToneChoice& choice, QWidget* parent = nullptr);
    ~LKVToneDlg() override;
    const LKVToneChoice& Choice() const { return choice_; }

    QPushButton& PreviewButton() const { return *preview_; }
    bool IsPreviewing() const;
    void CmPreview();
    void done(int result) override;

protected:
    Failure Check() override;

private:
    // The typed values as a tone; false with the failure of a field that holds no number.
    bool Read(LKVToneChoice& choice, Failure& failure) const;
    QLineEdit* AddField(int id, const QString& label, const QString& text);
    void ShowKind();
    void RestartIfPlaying();
    void PlayStateChanged() override;
    void ShowState();

    LKVToneChoice choice_;
    QComboBox* kind_;
    QLineEdit* frequency_;
    QLineEdit* endFrequency_;
    QCheckBox* logSweep_;
    QLineEdit* level_;
    QLineEdit* duration_;
    QLineEdit* digits_;
    QLineEdit* toneMs_;
    QLineEdit* pauseMs_;
    QLineEdit* fadeIn_;
    QLineEdit* fadeOut_;
    QComboBox* rate_;
    QComboBox* channels_;
    QRadioButton* newDocument_;
    QRadioButton* insert_;
    QPushButton* preview_;
    std::unique_ptr<LPlayerPort> player_;
};
