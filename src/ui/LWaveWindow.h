#pragma once
#include <QImage>
#include <QWidget>

#include "core/LSoundSource.h"
#include "display/LWaveColours.h"
#include "display/LWaveModel.h"

// The one-line wave strip of the transport and record dialogs: the whole of a
// source its owner gives it, mirrored about the centre, with the play cursor.
// No selection and no mouse. The strip's wave thread reads the source.
class LWaveWindow : public QWidget, private LWaveViewListener {
    Q_OBJECT
public:
    explicit LWaveWindow(QWidget* parent = nullptr);
    ~LWaveWindow() override;

    // Shows `source` (which the owner must no longer read) over [0, length).
    void Start(LSoundSource source);
    void Stop();
    void SetView(int32_t start, int32_t length) { model_.SetView(start, length); }
    void SetCursor(int32_t position, int32_t bandWidth) { model_.SetCursor(position, bandWidth); }
    void SetEnd(int32_t frames) { model_.SetEnd(frames); }
    LWaveModel& Model() { return model_; }
    QImage Render() const;

    QSize sizeHint() const override { return {320, 36}; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void WaveInvalidate(int32_t from, int32_t to) override;
    LWaveColours Colours() const;

    LWaveModel model_;
    QImage image_;
};
