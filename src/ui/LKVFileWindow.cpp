#include "ui/LKVFileWindow.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>

#include "app/LKVCommands.h"
#include "app/LSettingsTable.h"
#include "app/MainDialog.h"
#include "edit/LKVFile.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVWaveWindow.h"

namespace {

struct ButtonSpec {
    const char* icon;
    const char* tip;
    int32_t command;
    bool checkable;
};

const ButtonSpec kButtons[7] = {
    {"zoom-out", "Zoom Out", kCmZoomOut, false},
    {"zoom-in", "Zoom In", kCmZoomIn, false},
    {"zoom-selection", "Zoom Selection", kCmZoomToSelection, false},
    {"zoom-full", "Zoom Full", kCmZoomFull, false},
    {"zoom-vertical", "Vertical Zoom", kCmVerticalZoom, true},
    {"wave-posneg", "Wave display + up / - down", kCmDisplayPlusMinus, true},
    {"wave-leftright", "Wave display left channel up / right channel down.", kCmDisplayLeftRight, true},
};

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
    }

    scroll_ = new QScrollBar(Qt::Horizontal, this);
    scroll_->setRange(0, LKVFileWindowModel::kScrollRange);
    scroll_->setPageStep(10);
    scroll_->installEventFilter(this);
    connect(scroll_, &QAbstractSlider::actionTriggered, this, &LKVFileWindow::ScrollAction);

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
    Restart();
}

// The windows that paint the views go before the views (members outlive this
// body, children would not be deleted until after them).
LKVFileWindow::~LKVFileWindow()
{
    delete overview_;
    delete main_;
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

void LKVFileWindow::Restart()
{
    shown_ = doc_.audio;
    RefreshColours();
    views_->InitWavWindow();
    SyncControls();
}

void LKVFileWindow::DocumentChanged()
{
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
    default: return false;
    }
    SyncControls();
    if (id == kCmVerticalZoom || id == kCmDisplayPlusMinus || id == kCmDisplayLeftRight)
        emit displayOptionsChanged();
    return true;
}

void LKVFileWindow::SyncControls()
{
    {
        const QSignalBlocker block(scroll_);
        scroll_->setValue(views_->ScrollBarPos());
    }
    buttons_[4]->setChecked(doc_.verticalZoom != 0);
    buttons_[5]->setChecked(doc_.displayMode == kWaveModePosNeg);
    buttons_[6]->setChecked(doc_.displayMode == kWaveModeLeftRight);
    buttons_[5]->setEnabled(views_->DisplayModeEnabled());
    buttons_[6]->setEnabled(views_->DisplayModeEnabled());
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

void LKVFileWindow::ScrollAction(int action)
{
    LScrollAction a;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: a = LScrollAction::LineLeft; break;
    case QAbstractSlider::SliderSingleStepAdd: a = LScrollAction::LineRight; break;
    case QAbstractSlider::SliderPageStepSub: a = LScrollAction::PageLeft; break;
    case QAbstractSlider::SliderPageStepAdd: a = LScrollAction::PageRight; break;
    case QAbstractSlider::SliderMove: a = LScrollAction::Thumb; break;
    case QAbstractSlider::SliderToMinimum: a = LScrollAction::Start; break;
    case QAbstractSlider::SliderToMaximum: a = LScrollAction::End; break;
    default: return;
    }
    emit activated();
    const int32_t target = views_->ScrollTarget(a, scroll_->sliderPosition());
    MoveCursor(target);
    scroll_->setSliderPosition(views_->ScrollBarPos());
    emit scrollTargetSet(target);
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
    const int overviewHeight = barTop * 12 / 100;
    overview_->setGeometry(0, 0, w, overviewHeight);
    main_->setGeometry(0, overviewHeight, w, barTop - overviewHeight);
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
