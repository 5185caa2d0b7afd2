#pragma once
#include "core/LUi.h"
#include "ui/LKVEffectDlg.h"

class LKVCurvePanel;

// The "Envelope" dialog: the gain curve across the selection (x from its start
// to its end, y = 128 for 100 %), with the time and gain of the point under the
// mouse as "(h:mm:ss.cc, p %)". No preview.
class LKVEnvelopeDlg : public LKVEffectDlg {
    Q_OBJECT
public:
    LKVEnvelopeDlg(const LUiEnvelopeValues& values, QWidget* parent = nullptr);
    const LUiEnvelopeValues& Values() const { return values_; }
    LKVCurvePanel& Panel() const { return *panel_; }

protected:
    Failure Check() override;

private:
    LUiEnvelopeValues values_;
    LKVCurvePanel* panel_;
};
