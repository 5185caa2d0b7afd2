#include "ui/LKVFFTDlg.h"

#include <QAbstractSlider>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QScrollBar>
#include <QToolButton>

#include "ui/LFrequencyWindow.h"
#include "ui/LKVFrequencyAxis.h"

namespace {

QToolButton* Button(QWidget* parent, const char* icon, const char* tip)
{
    auto* b = new QToolButton(parent);
    b->setIcon(QIcon(QStringLiteral(":/icons/") + QLatin1String(icon) + QStringLiteral(".svg")));
    b->setIconSize(QSize(20, 20));
    b->setToolTip(QString::fromUtf8(tip));
    b->setAutoRaise(true);
    return b;
}

} // namespace

LKVFFTDlg::LKVFFTDlg(QWidget* parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("LKVFFTDlg"));
    setWindowTitle(QStringLiteral("Frequency Analysis"));
    frequency_ = new LFrequencyWindow(this);
    vScroll_ = new QScrollBar(Qt::Vertical, this);
    hScroll_ = new QScrollBar(Qt::Horizontal, this);
    vScroll_->setToolTip(QStringLiteral("Click to scroll the frequency window vertically"));
    hScroll_->setToolTip(QStringLiteral("Click to scroll the frequency window horizontally"));

    auto* buttons = new QHBoxLayout;
    buttons->setSpacing(2);
    struct Spec {
        const char* icon;
        const char* tip;
        void (LKVFFTDlg::*slot)(bool, bool);
        bool vertical, in;
    };
    const Spec specs[] = {
        {"zoom-in-vertical", "Vertical Zoom In", &LKVFFTDlg::Zoom, true, true},
        {"zoom-out-vertical", "Vertical Zoom Out", &LKVFFTDlg::Zoom, true, false},
        {"zoom-out-horizontal", "Horizontal Zoom Out", &LKVFFTDlg::Zoom, false, false},
        {"zoom-in-horizontal", "Horizontal Zoom In", &LKVFFTDlg::Zoom, false, true},
    };
    for (const Spec& s : specs) {
        QToolButton* b = Button(this, s.icon, s.tip);
        connect(b, &QToolButton::clicked, this, [this, s] { (this->*s.slot)(s.vertical, s.in); });
        buttons->addWidget(b);
    }
    QToolButton* reset = Button(this, "zoom-default", "Zoom to Default");
    connect(reset, &QToolButton::clicked, this, &LKVFFTDlg::ZoomDefault);
    buttons->addWidget(reset);
    buttons->addSpacing(12);
    logarithmic_ = new QCheckBox(QStringLiteral("&Logarithmic frequency axis"), this);
    logarithmic_->setObjectName(QStringLiteral("logarithmic"));
    logarithmic_->setChecked(frequency_->Model().Logarithmic());
    connect(logarithmic_, &QCheckBox::toggled, this, [this](bool on) {
        frequency_->Model().SetLogarithmic(on);
        Sync();
    });
    buttons->addWidget(logarithmic_);
    buttons->addStretch(1);

    levelAxis_ = new LKVFrequencyAxis(frequency_->Model(), LKVFrequencyAxis::Kind::Level, this);
    frequencyAxis_ = new LKVFrequencyAxis(frequency_->Model(), LKVFrequencyAxis::Kind::Frequency, this);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(4, 4, 4, 4);
    grid->setSpacing(0);
    grid->addWidget(levelAxis_, 0, 0);
    grid->addWidget(frequency_, 0, 1);
    grid->addWidget(vScroll_, 0, 2);
    grid->addWidget(frequencyAxis_, 1, 1);
    grid->addWidget(hScroll_, 2, 1);
    grid->addLayout(buttons, 3, 0, 1, 3);
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(1, 1);

    connect(vScroll_, &QAbstractSlider::actionTriggered, this, [this](int a) { Scrolled(true, a); });
    connect(hScroll_, &QAbstractSlider::actionTriggered, this, [this](int a) { Scrolled(false, a); });
    connect(frequency_, &LFrequencyWindow::pointerMoved, this, &LKVFFTDlg::PointerMoved);
    Sync();
}

LKVFFTDlg::~LKVFFTDlg() { emit closed(); }

void LKVFFTDlg::SetData(const LSpectrumBlock& block)
{
    frequency_->SetData(block);
    // The rate decides the frequency labels.
    frequencyAxis_->update();
    if (lastX_ >= 0)
        PointerMoved(lastX_, lastY_);
}

void LKVFFTDlg::Zoom(bool vertical, bool in)
{
    LFrequencyWindowModel& m = frequency_->Model();
    if (vertical)
        m.VZoom(in);
    else
        m.HZoom(in);
    Sync();
}

void LKVFFTDlg::ZoomDefault()
{
    frequency_->Model().ZoomDefault();
    Sync();
}

// The scroll bars show the model's positions: range 0 .. 101 - page with the
// page as the thumb, which is the model's own limit.
void LKVFFTDlg::Sync()
{
    const LFrequencyWindowModel& m = frequency_->Model();
    for (bool vertical : {true, false}) {
        const LFrequencyAxis axis = vertical ? LFrequencyAxis::Vertical : LFrequencyAxis::Horizontal;
        QScrollBar* bar = vertical ? vScroll_ : hScroll_;
        const QSignalBlocker block(bar);
        const int page = m.PageSize(axis);
        bar->setRange(0, 101 - page);
        bar->setPageStep(page);
        bar->setSingleStep(1);
        bar->setValue(m.Position(axis));
        bar->setEnabled(page < 101);
    }
    if (lastX_ >= 0)
        PointerMoved(lastX_, lastY_);
    frequency_->update();
    levelAxis_->update();
    frequencyAxis_->update();
}

void LKVFFTDlg::Scrolled(bool vertical, int action)
{
    const LFrequencyAxis axis = vertical ? LFrequencyAxis::Vertical : LFrequencyAxis::Horizontal;
    QScrollBar* bar = vertical ? vScroll_ : hScroll_;
    LFrequencyScroll s;
    switch (action) {
    case QAbstractSlider::SliderSingleStepAdd: s = LFrequencyScroll::LineForward; break;
    case QAbstractSlider::SliderSingleStepSub: s = LFrequencyScroll::LineBack; break;
    case QAbstractSlider::SliderPageStepAdd: s = LFrequencyScroll::PageForward; break;
    case QAbstractSlider::SliderPageStepSub: s = LFrequencyScroll::PageBack; break;
    case QAbstractSlider::SliderMove: s = LFrequencyScroll::Thumb; break;
    default: return;
    }
    frequency_->Model().Scroll(axis, s, bar->sliderPosition());
    bar->setSliderPosition(frequency_->Model().Position(axis));
    if (lastX_ >= 0)
        PointerMoved(lastX_, lastY_);
    frequency_->update();
    (vertical ? levelAxis_ : frequencyAxis_)->update();
}

void LKVFFTDlg::PointerMoved(int x, int y)
{
    lastX_ = x;
    lastY_ = y;
    frequency_->SetReadout(QString::fromStdString(frequency_->Model().Readout(x, y)));
}
