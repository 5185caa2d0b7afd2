#include "ui/LKVCurvePanel.h"

#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "ui/LKVBrainWaveWidget.h"
#include "ui/LKVEffectDlg.h"

LKVCurvePanel::LKVCurvePanel(const PointList& points, const std::string& file, Readout readout,
                             const QString& leftCaption, const QString& rightCaption, QWidget* parent)
    : QWidget(parent), file_(file)
{
    graph_ = new LKVBrainWaveWidget;
    graph_->SetPoints(points);
    auto* left = new QLabel(leftCaption);
    auto* right = new QLabel(rightCaption);
    right->setAlignment(Qt::AlignRight);
    // Under the ends of the curve's area.
    left->setContentsMargins(graph_->CurveLeft() - 2, 0, 0, 0);
    right->setContentsMargins(0, 0, LKVBrainWaveWidget::kMargin - 2, 0);
    auto* help = new QLabel(
        QStringLiteral("Click to add a point, drag a point to move it, right-click it to remove it.\n"
                       "Keys: the arrows move the selected point, Page Up and Page Down select another,\n"
                       "Insert adds a point after it, Delete removes it."));
    setFlat_ = new QPushButton(QStringLiteral("Set Flat"));
    setFlat_->setObjectName(LKVEffectDlg::IdName(102));
    setFlat_->setAutoDefault(false);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->addWidget(graph_, 0, 0, 1, 2);
    grid->addWidget(left, 1, 0);
    grid->addWidget(right, 1, 1);
    grid->addWidget(help, 2, 0, 1, 2);
    grid->setRowStretch(0, 1);
    grid->setVerticalSpacing(4);

    connect(graph_, &LKVBrainWaveWidget::positionChanged, this,
            [this, readout](int x, int y) { graph_->SetLabel(QString::fromStdString(readout(x, y))); });
    connect(graph_, &LKVBrainWaveWidget::curveChanged, this, &LKVCurvePanel::curveChanged);
    connect(setFlat_, &QPushButton::clicked, this, [this] {
        graph_->SetPoints(PointList::SetFlat(file_));
        emit curveChanged();
    });
}

PointList LKVCurvePanel::Points() const { return graph_->Points(); }
