#include "ui/LPlayerBaseDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QToolButton>
#include <QVBoxLayout>

#include "devices/LSoundDeviceList.h"
#include "ui/LDBDisplay.h"
#include "ui/LKVLoudnessLabel.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVDeviceCombo.h"
#include "ui/LKVVolumeControl.h"
#include "ui/LWaveWindow.h"

namespace {

struct ButtonSpec {
    const char* name;
    const char* icon;
    const char* tip;
};
constexpr ButtonSpec kSpecs[LPlayerBaseDlg::kButtons] = {
    {"play", "play", "Play (F9)"},
    {"scrub", "scrub", "Scrub (Space)"},
    {"stop", "stop", "Stop (Esc)"},
    {"start", "start", "Go to Start (Home)"},
    {"rewind", "rewind", "Rewind (<-)"},
    {"forward", "forward", "Forward (->)"},
    {"end", "end", "Go to End (End)"},
};

// The scrub loop's band on the strip: 25 ms.
constexpr int32_t kCueBandMs = 25;

} // namespace

LPlayerBaseDlg::LPlayerBaseDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("LPlayerBaseDlg"));
    setWindowTitle(QStringLiteral("Player"));
    model_.SetView(this);

    time_ = new QLabel;
    time_->setObjectName(QStringLiteral("time"));
    QFont big = time_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    time_->setFont(big);
    strip_ = new LWaveWindow;
    strip_->setObjectName(QStringLiteral("strip"));
    strip_->setMinimumHeight(40);
    bar_ = new QScrollBar(Qt::Horizontal);
    bar_->setObjectName(QStringLiteral("position"));
    bar_->setRange(0, 100);
    bar_->setSingleStep(1);
    bar_->setPageStep(10);
    bar_->setToolTip(QStringLiteral("Position"));
    connect(bar_, &QScrollBar::actionTriggered, this, &LPlayerBaseDlg::Scrolled);

    row_ = new QHBoxLayout;
    row_->setSpacing(2);
    for (int b = 0; b < kButtons; ++b) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromUtf8(kSpecs[b].name));
        button->setIcon(LKVIcon(QString::fromUtf8(kSpecs[b].icon)));
        button->setIconSize(QSize(24, 24));
        button->setToolTip(QString::fromUtf8(kSpecs[b].tip));
        button->setAutoRaise(false);
        button->setCheckable(b == kPlay || b == kScrub || b == kStop);
        button->setFocusPolicy(Qt::NoFocus);
        const auto which = Button(b);
        connect(button, &QToolButton::clicked, this, [this, which] {
            ButtonClicked(which);
            PlayerStateChanged();
        });
        connect(button, &QToolButton::pressed, this, [this, which] { ButtonPressed(which); });
        connect(button, &QToolButton::released, this, [this, which] { ButtonReleased(which); });
        buttons_[b] = button;
        row_->addWidget(button);
    }
    row_->addStretch();
    row_->addWidget(time_);

    meter_ = new LDBDisplay;
    meter_->setToolTip(QStringLiteral("Output level: -36 dB at the left, 0 dB at the mark, +12 dB at the right"));

    device_ = new LKVDeviceCombo([] { return LSoundPlayDevice::List(); });
    device_->setObjectName(QStringLiteral("playDevice"));
    device_->setCurrentIndex(model_.Device());
    connect(device_, &QComboBox::currentIndexChanged, this, [this](int i) { model_.SetDevice(i); });
    volume_ = new LKVVolumeControl;
    volume_->SetDb(model_.VolumeDb());
    connect(volume_, &LKVVolumeControl::volumeChanged, this, [this](int32_t dB) { model_.SetVolumeDb(dB); });

    devices_ = new QGridLayout;
    auto* deviceLabel = new QLabel(QStringLiteral("Playback &Device:"));
    deviceLabel->setBuddy(device_);
    devices_->addWidget(deviceLabel, 0, 0);
    devices_->addWidget(device_, 0, 1);
    devices_->addWidget(volume_, 0, 2);
    devices_->setColumnStretch(1, 1);

    auto* close = buttonBox_ = new QDialogButtonBox(QDialogButtonBox::Close);
    connect(close, &QDialogButtonBox::rejected, this, [this] { done(QDialog::Rejected); });
    close->button(QDialogButtonBox::Close)->setAutoDefault(false);
    close->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("close"));

    body_ = new QVBoxLayout;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(strip_);
    layout->addWidget(bar_);
    layout->addLayout(row_);
    auto* meterRow = new QHBoxLayout;
    auto* meterLabel = new QLabel(QStringLiteral("Output:"));
    meterLabel->setObjectName(QStringLiteral("meterLabel"));
    meterLabel->setMinimumWidth(meterLabel->fontMetrics().horizontalAdvance(QStringLiteral("Output: ")));
    meterRow->addWidget(meterLabel);
    meterRow->addWidget(meter_, 1);
    loudness_ = new LKVLoudnessLabel(QStringLiteral("heard"));
    meterRow->addWidget(loudness_);
    layout->addLayout(meterRow);
    layout->addLayout(body_);
    layout->addLayout(devices_);
    layout->addWidget(close);

    new QShortcut(QKeySequence(Qt::Key_F9), this, [this] { ShortcutPressed(kPlay); });
    new QShortcut(QKeySequence(Qt::Key_Space), this, [this] { ShortcutPressed(kScrub); });
    new QShortcut(QKeySequence(Qt::Key_Home), this, [this] { ShortcutPressed(kStart); });
    new QShortcut(QKeySequence(Qt::Key_End), this, [this] { ShortcutPressed(kEnd); });
    PlayerStateChanged();
    PlayerPositionChanged();
}

LPlayerBaseDlg::~LPlayerBaseDlg()
{
    model_.SetView(nullptr);
    model_.Stop();
    strip_->Stop();
    model_.StoreSettings();
}

bool LPlayerBaseDlg::EscapeStops()
{
    if (model_.State() == 0)
        return false;
    buttons_[kStop]->click();
    return true;
}

void LPlayerBaseDlg::keyPressEvent(QKeyEvent* event)
{
    // Esc stops first; once stopped it closes the dialog.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier && EscapeStops()) {
        event->accept();
        return;
    }
    // The arrow keys scan while they are held, as the buttons do.
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            ButtonPressed(event->key() == Qt::Key_Left ? kRewind : kForward);
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void LPlayerBaseDlg::keyReleaseEvent(QKeyEvent* event)
{
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && !event->isAutoRepeat()) {
        ButtonReleased(event->key() == Qt::Key_Left ? kRewind : kForward);
        event->accept();
        return;
    }
    QDialog::keyReleaseEvent(event);
}

QString LPlayerBaseDlg::TimeShown() const { return time_->text(); }

void LPlayerBaseDlg::SetTimeText(const QString& text) { time_->setText(text); }

void LPlayerBaseDlg::ShortcutPressed(Button b) { buttons_[b]->click(); }

void LPlayerBaseDlg::ButtonClicked(Button b)
{
    switch (b) {
    case kPlay: model_.Play(); break;
    case kScrub: model_.Scrub(); break;
    case kStop: model_.Stop(); break;
    case kStart: model_.GoToStart(); break;
    case kEnd: model_.GoToEnd(); break;
    default: break;
    }
}

void LPlayerBaseDlg::ButtonPressed(Button b)
{
    if (b == kRewind || b == kForward)
        model_.ScanPressed(b == kRewind ? LKVScan::Rewind : LKVScan::Forward);
}

void LPlayerBaseDlg::ButtonReleased(Button b)
{
    if (b == kRewind || b == kForward) {
        model_.ScanReleased(b == kRewind ? LKVScan::Rewind : LKVScan::Forward);
        PlayerStateChanged();
    }
}

void LPlayerBaseDlg::TrackChanged()
{
    strip_->Stop();
    if (const LPlayerTrack* t = model_.Track())
        strip_->Start(t->audio.OpenSource());
    PlayerPositionChanged();
}

void LPlayerBaseDlg::Scrolled(int action)
{
    using S = LPlayerBaseDlgModel::Scroll;
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub: model_.ScrollBar(S::LineBack, 0); break;
    case QAbstractSlider::SliderSingleStepAdd: model_.ScrollBar(S::LineForward, 0); break;
    case QAbstractSlider::SliderPageStepSub: model_.ScrollBar(S::PageBack, 0); break;
    case QAbstractSlider::SliderPageStepAdd: model_.ScrollBar(S::PageForward, 0); break;
    case QAbstractSlider::SliderToMinimum: model_.ScrollBar(S::Top, 0); break;
    case QAbstractSlider::SliderToMaximum: model_.ScrollBar(S::Bottom, 0); break;
    case QAbstractSlider::SliderMove: model_.ScrollBar(S::Thumb, bar_->sliderPosition()); break;
    default: return;
    }
    // The bar shows the model's position, not the step Qt would take.
    bar_->setSliderPosition(model_.BarValue());
}

void LPlayerBaseDlg::PlayerStateChanged()
{
    buttons_[kPlay]->setChecked(model_.Playing());
    buttons_[kScrub]->setChecked(model_.Cueing());
    buttons_[kStop]->setChecked(model_.State() == 0);
    buttons_[kPlay]->setIcon(LKVIcon(model_.Playing() ? QStringLiteral("play-active") : QStringLiteral("play")));
    buttons_[kStop]->setIcon(LKVIcon(model_.State() == 0 ? QStringLiteral("stop-active") : QStringLiteral("stop")));
}

void LPlayerBaseDlg::PlayerPositionChanged()
{
    time_->setText(QString::fromStdString(model_.TimeText()));
    if (!bar_->isSliderDown()) {
        const QSignalBlocker block(bar_);
        bar_->setValue(model_.BarValue());
    }
    const LPlayerTrack* t = model_.Track();
    const int32_t band = t && model_.Cueing() ? int32_t(int64_t(t->audio.sampleRate) * kCueBandMs / 1000) : 0;
    strip_->SetCursor(model_.Cursor(), band);
}

void LPlayerBaseDlg::PlayerLevels(const LChannelLevels& levels) { meter_->SetLevels(levels); }

void LPlayerBaseDlg::PlayerLoudness(const LLoudnessReading& loudness) { loudness_->SetReading(loudness); }
