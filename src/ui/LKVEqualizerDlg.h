#pragma once
#include "core/LUi.h"
#include "ui/LKVPreviewDialog.h"

class LKVCurvePanel;

// The "Equalizer" dialog: the gain curve over frequency (x = 255 is about
// 20 kHz, y = 128 for 100 %), with the frequency and gain of the point under
// the mouse as "f Hz, p %". The preview plays the curve as it stands and
// restarts when a button or key is released over the curve.
class LKVEqualizerDlg : public LKVPreviewDialog {
    Q_OBJECT
public:
    LKVEqualizerDlg(const LUiCurve& curve, QWidget* parent = nullptr);
    const LUiCurve& Curve() const { return curve_; }
    LKVCurvePanel& Panel() const { return *panel_; }

protected:
    Failure Check() override;
    std::unique_ptr<LEfSourceMaker> MakePreviewMaker() const override;

private:
    LUiCurve curve_;
    LKVCurvePanel* panel_;
};
