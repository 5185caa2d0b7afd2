#pragma once
#include "core/LUi.h"
#include "ui/LKVPreviewDialog.h"

class QComboBox;
class QLabel;

// The "Normalize Loudness" dialog: a target loudness (a preset or a value of
// one's own) and a true-peak ceiling. When the selection was measured it shows
// that loudness and the gain the target asks for, and previews with it.
class LKVNormalizeLoudnessDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVNormalizeLoudnessDlg(const LUiLoudnessValues& values, QWidget* parent = nullptr);
    const LUiLoudnessValues& Values() const { return values_; }

    // The presets' targets in LUFS, in the order the list shows them.
    static constexpr int32_t kPresets[] = {-23, -16, -14};

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    // The preset matching the typed target (the last entry, "Custom", when none does),
    // and the gain read-out.
    void Typed();

    LUiLoudnessValues values_;
    QComboBox* preset_;
    QLineEdit* target_;
    QLineEdit* ceiling_;
    QLabel* gain_ = nullptr;
};
