#include "ui/LKVFileWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QWheelEvent>

#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "edit/LKVFile.h"
#include "ui/LKVAmplitudeScale.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVTimeRuler.h"
#include "ui/LKVWaveWindow.h"

namespace {

struct ButtonSpec {
    const char* icon;
    const char* tip;
    int32_t command;
    bool checkable;
};

const ButtonSpec kButtons[9] = {
    {"zoom-out", "Zoom Out", kCmZoomOut, false},
    {"zoom-in", "Zoom In", kCmZoomIn, false},
    {"zoom-selection", "Zoom Selection", kCmZoomToSelection, false},
    {"zoom-full", "Zoom Full", kCmZoomFull, false},
    {"zoom-vertical", "Vertical Zoom", kCmVerticalZoom, true},
    {"wave-posneg", "Wave display + up / - down", kCmDisplayPlusMinus, true},
    {"wave-leftright", "Wave display left channel up / right channel down.", kCmDisplayLeftRight, true},
    {"wave-lanes", "Wave display of each channel in a lane of its own.", kCmDisplayLanes, true},
    {"spectrogram", "Spectrogram display: frequency up, loudness as colour.", kCmDisplaySpectrogram, true},
};

bool IsDisplayMode(int32_t id)
{
    return id == kCmDisplayPlusMinus || id == kCmDisplayLeftRight || id == kCmDisplayLanes || id == kCmDisplaySpectrogram;
}

// How often a drag held past an edge of the main view scrolls it.
constexpr int kDragScrollMs = 100;

} // namespace

LKVFileWindow::LKVFileWindow(MainDialog& model, LKVFile& doc, QWidget* parent)
    : QWidget(parent), model_(model), doc_(doc), views_(std::make_unique<LKVFileWindowModel>(doc))
{
    setObjectName(QStringLiteral("LKVFileWindow"));
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(260, 120);

    overview_ = new LKVWaveWindow(views_->Overview(), this);
    overview_->setObjectName(QStringLiteral("overview"));
    main_ = new LKVWaveWindow(views_->Main(), this);
    main_->setObjectName(QStringLiteral("mainView"));
    for (LKVWaveWindow* w : {overview_, main_}) {
        w->installEventFilter(this);
        connect(w, &LKVWaveWindow::waveCode, this, [this, w](int code) { WaveCode(w == overview_, code); });
        connect(w, &LKVWaveWindow::bookmarkActivated, this, [this](int index) {
            emit activated();
            model_.GoToBookmark(size_t(index));
        });
    }
    ruler_ = new LKVTimeRuler(views_->Main(), this);
    ruler_->installEventFilter(this);
    percentScale_ = new LKVAmplitudeScale(views_->Main(), LAmplitudeScale::Unit::Percent, this);
    dBScale_ = new LKVAmplitudeScale(views_->Main(), LAmplitudeScale::Unit::Decibel, this);
    // What is drawn beside the main view follows what it shows.
    connect(main_, &LKVWaveWindow::changed, this, [this] {
        ruler_->update();
        percentScale_->update();
        dBScale_->update();
    });
    connect(ruler_, &LKVTimeRuler::positionClicked, this, [this](int frame) {
        emit activated();
        MoveCursor(frame);
    });
    connect(ruler_, &LKVTimeRuler::regionClicked, this, [this](int index) {
        emit activated();
        model_.GoToRegion(size_t(index));
    });

    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->installEventFilter(this);
    // The scroll bar shows and moves the view; the cursor stays where it is.
    connect(scroll_, &QAbstractSlider::valueChanged, this, [this](int value) {
        views_->ScrollViewTo(value);
        SyncControls();
    });
    connect(scroll_, &QAbstractSlider::sliderPressed, this, [this] { emit activated(); });

    for (size_t i = 0; i < buttons_.size(); ++i) {
        const ButtonSpec& spec = kButtons[i];
        auto* b = new QToolButton(this);
        b->setIcon(LKVIcon(QLatin1String(spec.icon)));
        b->setIconSize(QSize(18, 18));
        b->setToolTip(QString::fromUtf8(spec.tip));
        b->setCheckable(spec.checkable);
        b->setFocusPolicy(Qt::NoFocus);
        b->installEventFilter(this);
        const int32_t command = spec.command;
        connect(b, &QToolButton::clicked, this, [this, command] { ViewCommand(command); });
        buttons_[i] = b;
    }

    dragTimer_ = new QTimer(this);
    dragTimer_->setInterval(kDragScrollMs);
    connect(dragTimer_, &QTimer::timeout, this, &LKVFileWindow::DragScroll);
    MarksChanged();
    Restart();
}

// The windows that paint the views go before the views (members outlive this
// body, children would not be deleted until after them).
LKVFileWindow::~LKVFileWindow()
{
    delete ruler_;
    delete percentScale_;
    delete dBScale_;
    delete overview_;
    delete main_;
}

void LKVFileWindow::MarksChanged()
{
    marks_ = model_.MarksOf(doc_);
    overview_->SetMarks(&marks_, false);
    main_->SetMarks(&marks_, true);
    const int rulerHeight = ruler_->height();
    ruler_->SetMarks(&marks_);
    // New rows of region bands make room for themselves.
    if (ruler_->Height() != rulerHeight)
        Layout();
}

bool LKVFileWindow::AudioChanged() const
{
    const LCutListAudio& a = doc_.audio;
    if (a.sampleRate != shown_.sampleRate || a.channels != shown_.channels || a.Cuts().size() != shown_.Cuts().size())
        return true;
    for (size_t i = 0; i < a.Cuts().size(); ++i) {
        const LCut &x = a.Cuts()[i], &y = shown_.Cuts()[i];
        if (x.Segment() != y.Segment() || x.start != y.start || x.length != y.length || x.gain != y.gain)
            return true;
    }
    return false;
}

void LKVFileWindow::RefreshColours()
{
    const bool windowsColours = LKVSettings::kUseWindowsColor.Read();
    overview_->SetColours(windowsColours);
    main_->SetColours(windowsColours);
}

void LKVFileWindow::RefreshSpectrogramOptions()
{
    views_->SetSpectrogramOptions(LKVSettings::kSpectrogramFFTSize.Read(), LKVSettings::kSpectrogramLogFrequency.Read());
}

void LKVFileWindow::Restart()
{
    shown_ = doc_.audio;
    RefreshColours();
    RefreshSpectrogramOptions();
    views_->InitWavWindow();
    SyncControls();
}

void LKVFileWindow::DocumentChanged()
{
    // A Save As files the marks under the new name; an edit may clamp them.
    MarksChanged();
    if (AudioChanged()) {
        views_->ShowChange();
        Restart();
        return;
    }
    views_->SetWavWindowMarkPos();
    views_->CursorMoved(false);
    views_->ApplyZoom();
    SyncControls();
}

void LKVFileWindow::ShowWholeDocument()
{
    doc_.pos.viewStart = 0;
    doc_.pos.viewEnd = doc_.audio.GetLength();
    if (AudioChanged())
        Restart();
    else
        views_->InitWavWindow();
    SyncControls();
}

bool LKVFileWindow::WaitUntilDrawn(int32_t ms)
{
    const bool idle = views_->Overview().WaitIdle(ms) && views_->Main().WaitIdle(ms);
    // The views' results reach the window through queued calls.
    QCoreApplication::processEvents();
    return idle;
}

void LKVFileWindow::PlayCursorMoved(bool cueing)
{
    views_->CursorMoved(cueing);
    SyncControls();
}

bool LKVFileWindow::ViewCommand(int32_t id)
{
    switch (id) {
    case kCmZoomIn: views_->CmZoomIn(); break;
    case kCmZoomOut: views_->CmZoomOut(); break;
    case kCmZoomToSelection: views_->CmZoomToSelection(); break;
    case kCmZoomFull: views_->CmZoomFull(); break;
    case kCmVerticalZoom: RefreshColours(); views_->CmZoomVertical(); break;
    case kCmDisplayPlusMinus: RefreshColours(); views_->CmSetWavDisplayMode(kWaveModePosNeg); break;
    case kCmDisplayLeftRight: RefreshColours(); views_->CmSetWavDisplayMode(kWaveModeLeftRight); break;
    case kCmDisplayLanes: RefreshColours(); views_->CmSetWavDisplayMode(kWaveModeLanes); break;
    case kCmDisplaySpectrogram:
        RefreshColours();
        RefreshSpectrogramOptions();
        views_->CmSetWavDisplayMode(kWaveModeSpectrogram);
        break;
    case kCmSpectrogramOptions:
        // The options were stored; a spectrogram on show is redrawn with them.
        RefreshSpectrogramOptions();
        if (doc_.displayMode == kWaveModeSpectrogram)
            views_->InitWavWindow();
        break;
    default: return false;
    }
    // The display the user picks is the one new documents open with.
    if (IsDisplayMode(id))
        LKVSettings::kWaveDisplayMode.Write(doc_.displayMode);
    SyncControls();
    if (id == kCmVerticalZoom || IsDisplayMode(id))
        emit displayOptionsChanged();
    // The scales' labels differ in width between the wave and the spectrogram.
    Layout();
    percentScale_->update();
    dBScale_->update();
    return true;
}

void LKVFileWindow::SyncControls()
{
    {
        const QSignalBlocker block(scroll_);
        const LKVFileWindowModel::ScrollBar bar = views_->ScrollBarState();
        scroll_->setRange(0, bar.maximum);
        scroll_->setPageStep(bar.page);
        scroll_->setSingleStep(bar.line);
        scroll_->setValue(bar.value);
    }
    overview_->SetViewRange(doc_.pos.viewStart, doc_.pos.viewEnd);
    buttons_[4]->setChecked(doc_.verticalZoom != 0);
    buttons_[5]->setChecked(doc_.displayMode == kWaveModePosNeg);
    buttons_[6]->setChecked(doc_.displayMode == kWaveModeLeftRight);
    buttons_[7]->setChecked(doc_.displayMode == kWaveModeLanes);
    buttons_[8]->setChecked(doc_.displayMode == kWaveModeSpectrogram);
    for (int b : {5, 6, 7})
        buttons_[size_t(b)]->setEnabled(views_->DisplayModeEnabled());
    // A mono document leaves the spectrogram through the +/- wave.
    if (doc_.displayMode == kWaveModeSpectrogram)
        buttons_[5]->setEnabled(true);
}

// Through the model, which also moves an active player there.
void LKVFileWindow::MoveCursor(int32_t frame) { model_.MoveCursor(frame); }

void LKVFileWindow::WaveCode(bool overview, int code)
{
    LKVWaveModel& view = overview ? views_->Overview() : views_->Main();
    switch (code) {
    case kWaveSelecting:
        model_.SetSelection(view.SelectionStart(), view.SelectionEnd(), doc_.pos.cursor);
        emit overview ? overviewDragging() : mainDragging();
        return;
    case kWaveReleased: {
        dragTimer_->stop();
        // Taken first: setting the selection puts the document's cursor back on the views.
        const int32_t cursor = view.Cursor();
        model_.SetSelection(view.SelectionStart(), view.SelectionEnd(), doc_.pos.cursor);
        MoveCursor(cursor);
        emit overview ? overviewReleased() : mainReleased();
        return;
    }
    case kWaveDragRight:
    case kWaveDragLeft:
        // The overview shows the whole document: there is nothing to scroll to.
        if (!overview) {
            dragDirection_ = code;
            dragTimer_->start();
        }
        return;
    default: dragTimer_->stop(); return;
    }
}

void LKVFileWindow::DragScroll()
{
    if (!views_->DragScrollStep(dragDirection_))
        return;
    // The view's own selection follows its edge as the wave thread applies the
    // move; the document's follows here.
    if (dragDirection_ == kWaveDragRight)
        model_.SetSelection(doc_.pos.selStart, doc_.pos.viewEnd, doc_.pos.cursor);
    else
        model_.SetSelection(doc_.pos.viewStart, doc_.pos.selEnd, doc_.pos.cursor);
}

bool LKVFileWindow::Wheel(QObject* over, const QWheelEvent& event)
{
    const QPoint angle = event.angleDelta(), pixels = event.pixelDelta();
    const Qt::KeyboardModifiers keys = event.modifiers();
    const int32_t width = views_->Main().Mapping().Width();
    // The column under the pointer in the main view; over the overview, whose
    // columns show other frames, the middle of the view.
    int32_t column = width / 2;
    if (over == main_ || over == ruler_)
        column = int32_t(event.position().x()) - 1;
    if (keys & Qt::ControlModifier)
        views_->Wheel(angle.y() != 0 ? angle.y() : angle.x(), 0, column, width, true, false);
    else if (angle.y() != 0 && angle.x() == 0)
        views_->Wheel(angle.y(), 0, column, width, false, (keys & Qt::ShiftModifier) != 0);
    // Sideways: a touchpad's pixels when it reports them, else a tilting wheel's angle.
    else if (pixels.x() != 0)
        views_->Wheel(0, pixels.x(), column, width, false, false);
    else if (angle.x() != 0)
        views_->Wheel(angle.x(), 0, column, width, false, (keys & Qt::ShiftModifier) != 0);
    SyncControls();
    return true;
}

void LKVFileWindow::Layout()
{
    const int w = width(), h = height();
    const int barTop = std::max(h - kBarHeight, 0);
    const int scrollWidth = w * 60 / 100;
    scroll_->setGeometry(0, barTop, scrollWidth, kBarHeight);
    const int n = int(buttons_.size());
    const int buttonWidth = std::max((w - scrollWidth - n) / n, 1);
    int x = scrollWidth + 1;
    for (QToolButton* b : buttons_) {
        b->setGeometry(x, barTop, buttonWidth, kBarHeight);
        x += buttonWidth + 1;
    }
    // The views between the two scales, the ruler and the overview in line
    // with the main view, column for column.
    const int left = percentScale_->PreferredWidth(), right = dBScale_->PreferredWidth();
    const int waveWidth = std::max(w - left - right, 10);
    const int overviewHeight = barTop * 12 / 100;
    const int rulerHeight = std::min(ruler_->Height(), std::max(barTop - overviewHeight - 20, 0));
    const int mainTop = overviewHeight + rulerHeight;
    overview_->setGeometry(left, 0, waveWidth, overviewHeight);
    ruler_->setGeometry(left, overviewHeight, waveWidth, rulerHeight);
    main_->setGeometry(left, mainTop, waveWidth, barTop - mainTop);
    percentScale_->setGeometry(0, overviewHeight, left, barTop - overviewHeight);
    dBScale_->setGeometry(left + waveWidth, overviewHeight, w - left - waveWidth, barTop - overviewHeight);
    percentScale_->SetCaptionHeight(rulerHeight);
    dBScale_->SetCaptionHeight(rulerHeight);
}

void LKVFileWindow::resizeEvent(QResizeEvent* event)
{
    Layout();
    QWidget::resizeEvent(event);
}

bool LKVFileWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseButtonPress)
        emit activated();
    if (event->type() == QEvent::Wheel && (watched == main_ || watched == overview_ || watched == ruler_))
        return Wheel(watched, *static_cast<QWheelEvent*>(event));
    return QWidget::eventFilter(watched, event);
}

void LKVFileWindow::mousePressEvent(QMouseEvent* event)
{
    emit activated();
    QWidget::mousePressEvent(event);
}

void LKVFileWindow::contextMenuEvent(QContextMenuEvent* event)
{
    emit activated();
    if (contextMenu_)
        contextMenu_->exec(event->globalPos());
}
