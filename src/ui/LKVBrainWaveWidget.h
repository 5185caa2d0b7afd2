#pragma once
#include <QWidget>

#include "effects/LBrainWaveWindow.h"

// The curve editor of the envelope and equalizer dialogs: paints the curve of
// its LBrainWaveWindow model over a grid and turns mouse and key events into
// the model's operations. Left click on a point selects it for dragging, on
// empty space adds a point (below 63 points); right click removes a middle
// point. Keys act on the selected point: arrows move it by one unit (ten with
// Shift), Page Up / Page Down select the previous / next point, Home / End the
// first / last, Insert adds a point halfway to the next one, Delete removes it.
class LKVBrainWaveWidget : public QWidget {
    Q_OBJECT
public:
    explicit LKVBrainWaveWidget(QWidget* parent = nullptr);

    const PointList& Points() const { return model_.points; }
    // Replaces the curve (the first point becomes the selected one) and repaints.
    void SetPoints(const PointList& points);
    // The text at the top right: the dialog's readout.
    void SetLabel(const QString& text);
    QString Label() const { return QString::fromStdString(model_.label); }
    const LBrainWaveWindow& Model() const { return model_; }
    // The gap in pixels between the widget's edge and the curve's 0..255 area,
    // so that the squares of the end points show whole.
    static constexpr int kMargin = 6;
    // Where the curve's area starts: right of the gain scale.
    int CurveLeft() const { return left_; }

    QSize sizeHint() const override { return {512 + left_ + kMargin, 256 + 2 * kMargin}; }
    QSize minimumSizeHint() const override { return {256 + left_ + kMargin, 128 + 2 * kMargin}; }

signals:
    // Message 1044: a point position under the mouse or being moved.
    void positionChanged(int x, int y);
    // Message 1045: a button or key was released; the curve may have changed.
    void curveChanged();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    void Apply(const LBrainWaveWindow::Result& result);
    QPoint Inside(const QPoint& widgetPoint);
    void Sync();
    QPointF PixelOf(const PointList::Point& p) const;

    LBrainWaveWindow model_;
    int left_;
};
