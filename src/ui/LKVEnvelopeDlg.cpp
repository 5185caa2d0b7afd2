#include "ui/LKVEnvelopeDlg.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "core/LSoundTime.h"
#include "effects/LBrainWaveWindow.h"
#include "ui/LKVCurvePanel.h"

namespace {
QString TimeText(int64_t ms)
{
    return QString::fromStdString(LSoundTime(int32_t(std::clamp<int64_t>(ms, 0, INT32_MAX))).GetTextCs());
}
} // namespace

LKVEnvelopeDlg::LKVEnvelopeDlg(const LUiEnvelopeValues& values, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Envelope"), parent), values_(values)
{
    setObjectName(QStringLiteral("LKVEnvelopeDlg"));
    const int32_t start = values.selectionStartMs, length = values.selectionLengthMs;
    panel_ = new LKVCurvePanel(
        PointList::FromUi(values.curve), PointList::CurrentFile("envelope.dat"),
        [start, length](int x, int y) { return LBrainWaveWindow::EnvelopeReadout(x, y, start, length); },
        QStringLiteral("Selection start ") + TimeText(start),
        QStringLiteral("Selection end ") + TimeText(int64_t(start) + length));
    Body().addWidget(panel_);
    AddActionButton(&panel_->SetFlatButton(), true);
}

LKVEffectDlg::Failure LKVEnvelopeDlg::Check()
{
    values_.curve = panel_->Points().ToUi();
    return {};
}
