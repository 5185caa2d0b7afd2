#include "ui/LRecordDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

#include "app/LRecordDlgModel.h"
#include "core/LSoundTime.h"
#include "devices/LSoundDeviceList.h"
#include "ui/LDBDisplay.h"

LRecordDlg::LRecordDlg(LRecordDlgModel& model, QWidget* parent) : QDialog(parent), model_(model)
{
    setObjectName(QStringLiteral("LRecordDlg"));
    setWindowTitle(QStringLiteral("Record"));
    model_.Recorder().notify = this;

    device_ = new QComboBox;
    device_->setObjectName(QStringLiteral("device"));
    for (const std::string& d : LSoundRecordDevice::List())
        device_->addItem(QString::fromStdString(d));
    device_->setCurrentIndex(model_.Device());
    line_ = new QComboBox;
    line_->setObjectName(QStringLiteral("channel"));
    volume_ = new QSlider(Qt::Horizontal);
    volume_->setObjectName(QStringLiteral("volume"));
    volume_->setRange(-36, 12);
    volume_->setValue(std::clamp(model_.Volume(), -36, 12));
    volumeLabel_ = new QLabel(QStringLiteral("Record &Volume:"));
    volumeLabel_->setBuddy(volume_);
    FillLines();
    connect(device_, &QComboBox::currentIndexChanged, this, [this](int i) {
        model_.SetDevice(i);
        FillLines();
    });
    connect(line_, &QComboBox::currentIndexChanged, this, [this](int i) {
        if (i >= 0)
            model_.SetChannel(i - 1);
    });
    connect(volume_, &QSlider::valueChanged, this, [this](int dB) { model_.SetVolume(dB); });

    autotrim_ = new QCheckBox(QStringLiteral("&Wait for sound, and trim the silence at the end"));
    autotrim_->setObjectName(QStringLiteral("autotrim"));
    autotrim_->setChecked(model_.Autotrim());
    vor_ = new QCheckBox(QStringLiteral("&Pause during silences of 5 seconds"));
    vor_->setObjectName(QStringLiteral("vor"));
    vor_->setChecked(model_.Vor());
    threshold_ = new QSpinBox;
    threshold_->setObjectName(QStringLiteral("threshold"));
    threshold_->setRange(-40, -6);
    threshold_->setSuffix(QStringLiteral(" dB"));
    threshold_->setValue(model_.Threshold());
    auto applyAdvanced = [this] {
        threshold_->setEnabled(autotrim_->isChecked());
        model_.SetAdvanced(autotrim_->isChecked(), vor_->isChecked(), threshold_->value());
    };
    connect(autotrim_, &QCheckBox::toggled, this, applyAdvanced);
    connect(vor_, &QCheckBox::toggled, this, applyAdvanced);
    connect(threshold_, &QSpinBox::valueChanged, this, applyAdvanced);
    threshold_->setEnabled(autotrim_->isChecked());

    meter_ = new LDBDisplay;
    state_ = new QLabel;
    state_->setObjectName(QStringLiteral("state"));
    time_ = new QLabel;
    time_->setObjectName(QStringLiteral("time"));
    QFont big = time_->font();
    big.setPointSizeF(big.pointSizeF() * 1.6);
    big.setBold(true);
    time_->setFont(big);

    record_ = new QPushButton(QStringLiteral("Record (F8)"));
    record_->setObjectName(QStringLiteral("record"));
    stop_ = new QPushButton(QStringLiteral("Stop"));
    stop_->setObjectName(QStringLiteral("stop"));
    restart_ = new QPushButton(QStringLiteral("Restart (F6)"));
    restart_->setObjectName(QStringLiteral("restart"));
    retake_ = new QPushButton(QStringLiteral("Re-Take (F7)"));
    retake_->setObjectName(QStringLiteral("retake"));
    next_ = new QPushButton(QStringLiteral("Record Next (F5)"));
    next_->setObjectName(QStringLiteral("next"));
    for (QPushButton* b : {record_, stop_, restart_, retake_, next_})
        b->setAutoDefault(false);
    connect(record_, &QPushButton::clicked, this, [this] {
        if (!model_.Recording())
            StartTake(positionMs_);
    });
    connect(stop_, &QPushButton::clicked, this, [this] {
        model_.StopTake();
        Update();
    });
    connect(restart_, &QPushButton::clicked, this, [this] { StartTake(0); });
    connect(retake_, &QPushButton::clicked, this, [this] { StartTake(model_.TakeStartMs()); });
    connect(next_, &QPushButton::clicked, this, [this] { done(kRecordNext); });
    new QShortcut(QKeySequence(Qt::Key_F8), record_, [this] { record_->click(); });
    new QShortcut(QKeySequence(Qt::Key_F6), restart_, [this] { restart_->click(); });
    new QShortcut(QKeySequence(Qt::Key_F7), retake_, [this] { retake_->click(); });
    new QShortcut(QKeySequence(Qt::Key_F5), next_, [this] { next_->click(); });

    auto* input = new QGroupBox(QStringLiteral("Input"));
    auto* form = new QFormLayout(input);
    form->addRow(QStringLiteral("Record &Device:"), device_);
    form->addRow(QStringLiteral("Record Input &Channel:"), line_);
    form->addRow(volumeLabel_, volume_);
    auto* options = new QGroupBox(QStringLiteral("Automatic"));
    auto* optionsLayout = new QGridLayout(options);
    optionsLayout->addWidget(autotrim_, 0, 0, 1, 2);
    optionsLayout->addWidget(new QLabel(QStringLiteral("Sound starts above:")), 1, 0);
    optionsLayout->addWidget(threshold_, 1, 1);
    optionsLayout->addWidget(vor_, 2, 0, 1, 2);
    optionsLayout->setColumnStretch(2, 1);
    auto* status = new QHBoxLayout;
    status->addWidget(time_);
    status->addStretch();
    status->addWidget(state_);
    auto* takes = new QHBoxLayout;
    for (QPushButton* b : {record_, stop_, restart_, retake_, next_})
        takes->addWidget(b);
    auto* buttons = new QDialogButtonBox;
    keep_ = buttons->addButton(QStringLiteral("&Keep"), QDialogButtonBox::AcceptRole);
    keep_->setObjectName(QStringLiteral("keep"));
    buttons->addButton(QStringLiteral("&Discard"), QDialogButtonBox::RejectRole)->setObjectName(QStringLiteral("discard"));
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { done(kKeep); });
    connect(buttons, &QDialogButtonBox::rejected, this, &LRecordDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(input);
    layout->addWidget(options);
    layout->addLayout(status);
    layout->addWidget(meter_);
    layout->addLayout(takes);
    layout->addWidget(buttons);

    // The first take starts as soon as the dialog is there.
    StartTake(0);
}

LRecordDlg::~LRecordDlg()
{
    model_.StopTake();
    model_.Recorder().notify = &model_.Recorder();
}

void LRecordDlg::reject() { done(kDiscard); }

void LRecordDlg::FillLines()
{
    const QSignalBlocker block(line_);
    line_->clear();
    for (const std::string& l : model_.InputLines())
        line_->addItem(QString::fromStdString(l));
    line_->setCurrentIndex(model_.Channel() + 1);
    line_->setEnabled(line_->count() > 1);
    volume_->setVisible(model_.VolumeShown());
    volumeLabel_->setVisible(model_.VolumeShown());
}

void LRecordDlg::StartTake(int32_t ms)
{
    positionMs_ = ms;
    deviceFailed_ = !model_.StartTake(ms);
    Update();
}

void LRecordDlg::RecordPosition(int32_t ms, uint32_t)
{
    positionMs_ = ms;
    Update();
}

void LRecordDlg::RecordLevels(const LChannelLevels& levels, uint32_t) { meter_->SetLevels(levels); }

QString LRecordDlg::Shown() const { return time_->text(); }

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
    time_->setText(QString::fromStdString(LSoundTime(positionMs_).GetTextCs()));
    record_->setEnabled(!recording);
    stop_->setEnabled(recording);
    restart_->setEnabled(recording);
    retake_->setEnabled(recording);
    next_->setEnabled(recording);
}
