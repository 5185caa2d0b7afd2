#include "ui/LKVEqualizerDlg.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "effects/LBrainWaveWindow.h"
#include "effects/LEfPreview.h"
#include "ui/LKVCurvePanel.h"

LKVEqualizerDlg::LKVEqualizerDlg(const LUiCurve& curve, QWidget* parent)
    : LKVPreviewDialog(QStringLiteral("Equalizer"), parent), curve_(curve)
{
    setObjectName(QStringLiteral("LKVEqualizerDlg"));
    panel_ = new LKVCurvePanel(
        PointList::FromUi(curve), PointList::CurrentFile("equalizer.dat"),
        [](int x, int y) { return LBrainWaveWindow::EqualizerReadout(x, y); }, QStringLiteral("0 Hz"),
        QStringLiteral("20000 Hz"));
    Body().addWidget(panel_);
    AddActionButton(&panel_->SetFlatButton(), true);
    connect(panel_, &LKVCurvePanel::curveChanged, this, [this] { CmRestartIfPlaying(); });
}

LKVEffectDlg::Failure LKVEqualizerDlg::Check()
{
    curve_ = panel_->Points().ToUi();
    return {};
}

std::unique_ptr<LEfSourceMaker> LKVEqualizerDlg::MakePreviewMaker() const
{
    return Preview().EqualizerMaker(panel_->Points());
}
