#include "ui/LRecordDlg.h"

#include <QComboBox>
#include <array>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/LKVSystemMixer.h"
#include "app/LRecordDlgModel.h"
#include "core/LSoundTime.h"
#include "core/LUi.h"
#include "devices/LSoundDeviceList.h"
#include "ui/LDBDisplay.h"
#include "ui/LKVLoudnessLabel.h"
#include "ui/LKVAppInfo.h"
#include "ui/LKVDeviceCombo.h"
#include "ui/LKVDialogExec.h"
#include "ui/LRecordDlgAdvanced.h"
#include "ui/LWaveWindow.h"

namespace {

// The four transport buttons that change while recording.
constexpr LPlayerBaseDlg::Button kChanging[] = {LPlayerBaseDlg::kStart, LPlayerBaseDlg::kRewind,
                                                LPlayerBaseDlg::kForward, LPlayerBaseDlg::kEnd};
constexpr const char* kIcons[2][4] = {{"start", "rewind", "forward", "end"},
                                      {"start", "rewind", "retake", "next-track"}};

} // namespace

LRecordDlg::LRecordDlg(LRecordDlgModel& model, QWidget* parent) : LPlayerBaseDlg(parent), model_(model)
{
    setObjectName(QStringLiteral("LRecordDlg"));
    setWindowTitle(QStringLiteral("Record"));
    model_.Recorder().notify = this;

    record_ = new QPushButton(LKVIcon(QStringLiteral("record")), QStringLiteral("Record (F8)"));
    record_->setObjectName(QStringLiteral("record"));
    record_->setToolTip(QStringLiteral("Record (F8)"));
    record_->setAutoDefault(false);
    record_->setFocusPolicy(Qt::NoFocus);
    connect(record_, &QPushButton::clicked, this, [this] {
        if (!model_.Recording())
            StartTake(Model().PositionMs());
    });
    TransportRow()->insertWidget(kButtons, record_);

    state_ = new QLabel;
    state_->setObjectName(QStringLiteral("state"));
    recordMeter_ = new LDBDisplay;
    recordMeter_->setObjectName(QStringLiteral("RecordMeter"));
    auto* meterRow = new QHBoxLayout;
    auto* inputLabel = new QLabel(QStringLiteral("Input:"));
    inputLabel->setMinimumWidth(inputLabel->fontMetrics().horizontalAdvance(QStringLiteral("Output: ")));
    meterRow->addWidget(inputLabel);
    meterRow->addWidget(recordMeter_, 1);
    recordLoudness_ = new LKVLoudnessLabel(QStringLiteral("recorded"));
    recordLoudness_->setObjectName(QStringLiteral("recordLoudness"));
    meterRow->addWidget(recordLoudness_);
    meterRow->addWidget(state_);
    Body()->addLayout(meterRow);

    device_ = new LKVDeviceCombo([] { return LSoundRecordDevice::List(); });
    device_->setObjectName(QStringLiteral("device"));
    device_->setCurrentIndex(model_.Device());
    line_ = new QComboBox;
    line_->setObjectName(QStringLiteral("channel"));
    volume_ = new QSlider(Qt::Horizontal);
    volume_->setObjectName(QStringLiteral("recordVolume"));
    volume_->setRange(-36, 12);
    volume_->setPageStep(6);
    volume_->setValue(std::clamp(model_.Volume(), -36, 12));
    volumeLabel_ = new QLabel(QStringLiteral("Record &Volume:"));
    volumeLabel_->setBuddy(volume_);
    volumeValue_ = new QLabel;
    volumeValue_->setMinimumWidth(volumeValue_->fontMetrics().horizontalAdvance(QStringLiteral("+12 dB ")));
    auto showVolume = [this](int dB) { volumeValue_->setText(QStringLiteral("%1 dB").arg(dB)); };
    showVolume(volume_->value());
    FillLines();
    connect(device_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.SetDevice(i);
        FillLines();
    });
    // The lines of the device now at the chosen place.
    connect(device_, &LKVDeviceCombo::refilled, this, [this] {
        model_.SetDevice(device_->currentIndex());
        FillLines();
    });
    connect(line_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            model_.SetChannel(i - 1);
    });
    connect(volume_, &QSlider::valueChanged, this, [this, showVolume](int dB) {
        showVolume(dB);
        model_.SetVolume(dB);
    });

    auto* advanced = new QPushButton(QStringLiteral("&Advanced..."));
    advanced->setObjectName(QStringLiteral("advanced"));
    advanced->setAutoDefault(false);
    connect(advanced, &QPushButton::clicked, this, [this] {
        LRecordDlgAdvanced dialog(model_, this);
        LKVExec(dialog);
    });
    auto* mixer = new QPushButton(QStringLiteral("System &Mixer..."));
    mixer->setObjectName(QStringLiteral("mixer"));
    mixer->setAutoDefault(false);
    mixer->setToolTip(QStringLiteral("Opens the desktop's mixer to set the recording levels"));
    connect(mixer, &QPushButton::clicked, this, &LRecordDlg::RunMixer);

    QGridLayout* grid = Devices();
    auto* deviceLabel = new QLabel(QStringLiteral("Record D&evice:"));
    deviceLabel->setBuddy(device_);
    auto* lineLabel = new QLabel(QStringLiteral("Record Input &Channel:"));
    lineLabel->setBuddy(line_);
    grid->addWidget(deviceLabel, 1, 0);
    grid->addWidget(device_, 1, 1);
    grid->addWidget(advanced, 1, 2);
    grid->addWidget(lineLabel, 2, 0);
    grid->addWidget(line_, 2, 1);
    grid->addWidget(mixer, 2, 2);
    auto* volumeRow = new QHBoxLayout;
    volumeRow->addWidget(volume_, 1);
    volumeRow->addWidget(volumeValue_);
    grid->addWidget(volumeLabel_, 3, 0);
    grid->addLayout(volumeRow, 3, 1);

    QDialogButtonBox* box = ButtonBox();
    box->clear();
    keep_ = box->addButton(QStringLiteral("&Keep"), QDialogButtonBox::AcceptRole);
    keep_->setObjectName(QStringLiteral("keep"));
    keep_->setAutoDefault(false);
    QPushButton* discard = box->addButton(QStringLiteral("&Discard"), QDialogButtonBox::RejectRole);
    discard->setObjectName(QStringLiteral("discard"));
    discard->setAutoDefault(false);
    connect(box, &QDialogButtonBox::accepted, this, [this] { done(kKeep); });
    connect(discard, &QPushButton::clicked, this, [this] { done(kDiscard); });

    new QShortcut(QKeySequence(Qt::Key_F8), this, [this] { record_->click(); });
    new QShortcut(QKeySequence(Qt::Key_F6), this, [this] {
        if (model_.Recording())
            StartTake(0);
    });
    new QShortcut(QKeySequence(Qt::Key_F7), this, [this] {
        if (model_.Recording())
            StartTake(model_.TakeStartMs());
    });
    new QShortcut(QKeySequence(Qt::Key_F5), this, [this] {
        if (model_.Recording())
            done(kRecordNext);
    });

    // The first take starts as soon as the dialog is there.
    StartTake(0);
}

LRecordDlg::~LRecordDlg()
{
    model_.StopTake();
    model_.Recorder().notify = &model_.Recorder();
}

void LRecordDlg::reject() { done(kDiscard); }

bool LRecordDlg::EscapeStops()
{
    if (!model_.Recording())
        return LPlayerBaseDlg::EscapeStops();
    StopTake();
    return true;
}

void LRecordDlg::FillLines()
{
    const QSignalBlocker block(line_);
    line_->clear();
    for (const std::string& l : model_.InputLines())
        line_->addItem(QString::fromStdString(l));
    line_->setCurrentIndex(model_.Channel() + 1);
    line_->setEnabled(line_->count() > 1);
    for (QWidget* w : {static_cast<QWidget*>(volume_), static_cast<QWidget*>(volumeLabel_),
                       static_cast<QWidget*>(volumeValue_)})
        w->setVisible(model_.VolumeShown());
}

void LRecordDlg::StartTake(int32_t ms)
{
    Model().Stop();
    Strip()->Stop();
    deviceFailed_ = !model_.StartTake(ms);
    if (deviceFailed_)
        Review();
    SetTimeText(QString::fromStdString(LSoundTime(model_.TakeStartMs()).GetTextCs()));
    Update();
}

void LRecordDlg::StopTake()
{
    model_.StopTake();
    Update();
}

void LRecordDlg::Review()
{
    LPlayerTrack track;
    track.name = "Recording";
    track.audio = model_.Recorded();
    track.pos.cursor = track.audio.GetLength();
    std::vector<LPlayerTrack> tracks;
    tracks.push_back(std::move(track));
    Model().SetTracks(std::move(tracks), 0);
    TrackChanged();
}

void LRecordDlg::RecordStopped(uint32_t)
{
    Review();
    Update();
    // Told once the recorder's notification is over.
    if (const std::string failed = model_.WriteFailedMessage(); !failed.empty()) {
        QTimer::singleShot(0, this, [failed] {
            LUiGet().Message(failed, "Kelvane", LUiButtons::Ok, LUiIcon::Exclamation);
        });
    } else if (model_.Recorder().DeviceLost()) {
        QTimer::singleShot(0, this, [] {
            LUiGet().Message(kDeviceLostMessage, "Kelvane", LUiButtons::Ok, LUiIcon::Exclamation);
        });
    }
}

void LRecordDlg::RecordPosition(int32_t ms, uint32_t)
{
    const int64_t at = int64_t(model_.TakeStartMs()) + ms;
    SetTimeText(QString::fromStdString(LSoundTime(int32_t(std::min<int64_t>(at, INT32_MAX))).GetTextCs()));
}

void LRecordDlg::RecordLevels(const LChannelLevels& levels, uint32_t) { recordMeter_->SetLevels(levels); }

void LRecordDlg::RecordLoudness(const LLoudnessReading& loudness, uint32_t) { recordLoudness_->SetReading(loudness); }

void LRecordDlg::PlayerPositionChanged()
{
    // While recording the time is the recording's.
    if (!model_.Recording())
        LPlayerBaseDlg::PlayerPositionChanged();
}

void LRecordDlg::ButtonClicked(Button b)
{
    if (!model_.Recording()) {
        LPlayerBaseDlg::ButtonClicked(b);
        return;
    }
    switch (b) {
    case kStart: StartTake(0); break;
    case kForward: StartTake(model_.TakeStartMs()); break;
    case kEnd: done(kRecordNext); break;
    case kStop: StopTake(); break;
    case kPlay:
    case kScrub:
        // Playing reviews what was recorded: the take ends first.
        StopTake();
        LPlayerBaseDlg::ButtonClicked(b);
        break;
    default: break;
    }
}

void LRecordDlg::ButtonPressed(Button b)
{
    if (!model_.Recording())
        LPlayerBaseDlg::ButtonPressed(b);
}

void LRecordDlg::ButtonReleased(Button b)
{
    if (!model_.Recording())
        LPlayerBaseDlg::ButtonReleased(b);
}

void LRecordDlg::ShortcutPressed(Button b)
{
    // Home and End only review: they never restart or end a recording.
    if (model_.Recording() && (b == kStart || b == kEnd))
        return;
    LPlayerBaseDlg::ShortcutPressed(b);
}

void LRecordDlg::RunMixer()
{
    const std::vector<std::string> command = LKVSystemMixer::Command();
    QStringList arguments;
    for (size_t i = 1; i < command.size(); ++i)
        arguments << QString::fromStdString(command[i]);
    if (command.empty() || !QProcess::startDetached(QString::fromStdString(command[0]), arguments))
        LUiGet().Message(LKVSystemMixer::kNotFoundMessage, "Kelvane", LUiButtons::Ok, LUiIcon::Information);
}

void LRecordDlg::Update()
{
    const bool recording = model_.Recording();
    const uint8_t state = model_.Recorder().GetState();
    if (state == 2)
        state_->setText(QStringLiteral("Recording"));
    else if (state == 1)
        state_->setText(QStringLiteral("Waiting for sound"));
    else
        state_->setText(deviceFailed_ ? QStringLiteral("The recording device could not be opened")
                                      : QStringLiteral("Stopped"));
    if (int(recording) != shownRecording_) {
        shownRecording_ = int(recording);
        const std::array<std::string, 4> texts = model_.ButtonTexts();
        for (size_t i = 0; i < 4; ++i) {
            QToolButton* button = TransportButton(kChanging[i]);
            button->setToolTip(QString::fromStdString(texts[i]));
            button->setIcon(LKVIcon(QString::fromUtf8(kIcons[recording ? 1 : 0][i])));
        }
    }
    TransportButton(kRewind)->setEnabled(!recording);
    record_->setEnabled(!recording);
}
