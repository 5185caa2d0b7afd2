#include "ui/LKVToneDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <cmath>

#include "app/LSettingsTable.h"
#include "devices/LPlayerDevice.h"
#include "effects/LSRCTone.h"

namespace {

using Kind = LToneParams::Kind;

QString Number(double v) { return QLocale::c().toString(v, 'g', 10); }

bool ReadDecimal(const QLineEdit* field, double& value)
{
    bool ok = false;
    value = QLocale::c().toDouble(field->text().trimmed(), &ok);
    return ok && std::isfinite(value);
}

bool ReadWhole(const QLineEdit* field, int32_t& value)
{
    bool ok = false;
    const qlonglong v = field->text().trimmed().toLongLong(&ok);
    if (!ok || v < INT32_MIN || v > INT32_MAX)
        return false;
    value = int32_t(v);
    return true;
}

} // namespace

LKVToneDlg::LKVToneDlg(const LKVToneChoice& choice, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Tone Generator"), parent), choice_(choice),
      player_(std::make_unique<LPlayerDevice>())
{
    setObjectName(QStringLiteral("LKVToneDlg"));
    const LToneParams& s = choice.spec;
    kind_ = new QComboBox;
    kind_->setObjectName(IdName(101));
    for (int32_t k = 0; k < LToneParams::kKindCount; ++k)
        kind_->addItem(QString::fromUtf8(LToneParams::KindCaption(Kind(k))));
    kind_->setCurrentIndex(int(s.kind));
    Form().addRow(QStringLiteral("Waveform:"), kind_);
    frequency_ = AddField(102, QStringLiteral("Frequency (Hz):"), Number(s.frequency));
    endFrequency_ = AddField(103, QStringLiteral("End Frequency (Hz):"), Number(s.endFrequency));
    logSweep_ = new QCheckBox(QStringLiteral("Logarithmic sweep (equal time per octave)"));
    logSweep_->setObjectName(IdName(104));
    logSweep_->setChecked(s.logSweep);
    Form().addRow(QString(), logSweep_);
    digits_ = AddField(107, QStringLiteral("DTMF Digits:"), QString::fromStdString(s.digits));
    digits_->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9*#A-Da-d]*")), digits_));
    digits_->setAlignment(Qt::AlignLeft);
    digits_->setMinimumWidth(digits_->fontMetrics().horizontalAdvance(QStringLiteral("0123456789*#ABCD")) + 16);
    toneMs_ = AddField(108, QStringLiteral("Digit Tone (ms):"), QString::number(s.toneMs));
    pauseMs_ = AddField(109, QStringLiteral("Digit Pause (ms):"), QString::number(s.pauseMs));
    level_ = AddField(105, QStringLiteral("Amplitude (dBFS):"), Number(s.levelDb));
    duration_ = AddField(106, QStringLiteral("Duration (ms):"), QString::number(s.durationMs));
    fadeIn_ = AddField(110, QStringLiteral("Fade In (ms):"), QString::number(s.fadeInMs));
    fadeOut_ = AddField(111, QStringLiteral("Fade Out (ms):"), QString::number(s.fadeOutMs));

    rate_ = new QComboBox;
    rate_->setObjectName(IdName(112));
    rate_->setEditable(true);
    for (int rate : {8000, 11025, 16000, 22050, 32000, 44100, 48000, 88200, 96000})
        rate_->addItem(QString::number(rate));
    rate_->lineEdit()->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,6}")), rate_));
    rate_->setCurrentText(QString::number(s.sampleRate));
    Form().addRow(QStringLiteral("Sample Rate (Hz):"), rate_);
    channels_ = new QComboBox;
    channels_->setObjectName(IdName(113));
    channels_->addItems({QStringLiteral("Mono"), QStringLiteral("Stereo")});
    channels_->setCurrentIndex(s.channels == 2 ? 1 : 0);
    Form().addRow(QStringLiteral("Channels:"), channels_);

    auto* target = new QGroupBox(QStringLiteral("Put the tone into"));
    auto* targetRows = new QVBoxLayout(target);
    newDocument_ = new QRadioButton(QStringLiteral("a new file"));
    newDocument_->setObjectName(IdName(114));
    insert_ = new QRadioButton(QStringLiteral("the current file, at the cursor"));
    insert_->setObjectName(IdName(115));
    insert_->setEnabled(choice.canInsert);
    (choice.insert && choice.canInsert ? insert_ : newDocument_)->setChecked(true);
    targetRows->addWidget(newDocument_);
    targetRows->addWidget(insert_);
    Body().addWidget(target);

    preview_ = AddButton(140, QStringLiteral("Preview"));
    preview_->setMinimumWidth(preview_->fontMetrics().horizontalAdvance(QStringLiteral("Preview")) + 32);
    connect(preview_, &QPushButton::clicked, this, &LKVToneDlg::CmPreview);
    player_->SetListener(this);
    player_->SetVolumeDb(LKVSettings::kPlayVolume.Read());

    connect(kind_, &QComboBox::currentIndexChanged, this, [this] {
        ShowKind();
        RestartIfPlaying();
    });
    connect(insert_, &QRadioButton::toggled, this, [this] { ShowKind(); });
    for (QLineEdit* f : {frequency_, endFrequency_, level_, duration_, digits_, toneMs_, pauseMs_, fadeIn_, fadeOut_})
        connect(f, &QLineEdit::textChanged, this, [this] { RestartIfPlaying(); });
    connect(logSweep_, &QCheckBox::toggled, this, [this] { RestartIfPlaying(); });
    connect(rate_, &QComboBox::currentTextChanged, this, [this] { RestartIfPlaying(); });
    connect(channels_, &QComboBox::currentIndexChanged, this, [this] { RestartIfPlaying(); });
    ShowKind();
    ShowState();
}

LKVToneDlg::~LKVToneDlg()
{
    player_->Stop();
    player_->SetListener(nullptr);
}

QLineEdit* LKVToneDlg::AddField(int id, const QString& label, const QString& text)
{
    auto* field = new QLineEdit(text);
    field->setObjectName(IdName(id));
    field->setAlignment(Qt::AlignRight);
    field->setFixedWidth(field->fontMetrics().horizontalAdvance(QStringLiteral("-00000.000")) + 16);
    Form().addRow(label, field);
    return field;
}

void LKVToneDlg::ShowKind()
{
    const Kind k = Kind(kind_->currentIndex());
    const bool pitched = k == Kind::Sine || k == Kind::Square || k == Kind::Triangle || k == Kind::Sawtooth ||
                         k == Kind::Sweep;
    frequency_->setEnabled(pitched);
    Form().labelForField(frequency_)->setEnabled(pitched);
    for (QWidget* w : {static_cast<QWidget*>(endFrequency_), static_cast<QWidget*>(logSweep_)})
        w->setEnabled(k == Kind::Sweep);
    Form().labelForField(endFrequency_)->setEnabled(k == Kind::Sweep);
    for (QLineEdit* f : {digits_, toneMs_, pauseMs_}) {
        f->setEnabled(k == Kind::Dtmf);
        Form().labelForField(f)->setEnabled(k == Kind::Dtmf);
    }
    duration_->setEnabled(k != Kind::Dtmf);
    Form().labelForField(duration_)->setEnabled(k != Kind::Dtmf);
    for (QLineEdit* f : {level_, fadeIn_, fadeOut_}) {
        f->setEnabled(k != Kind::Silence);
        Form().labelForField(f)->setEnabled(k != Kind::Silence);
    }
    // An insert takes the document's format.
    const bool own = !insert_->isChecked();
    if (!own) {
        rate_->setCurrentText(QString::number(choice_.documentRate));
        channels_->setCurrentIndex(choice_.documentChannels == 2 ? 1 : 0);
    }
    for (QWidget* w : {static_cast<QWidget*>(rate_), static_cast<QWidget*>(channels_)}) {
        w->setEnabled(own);
        Form().labelForField(w)->setEnabled(own);
    }
}

bool LKVToneDlg::Read(LKVToneChoice& c, Failure& failure) const
{
    LToneParams& s = c.spec;
    s.kind = Kind(kind_->currentIndex());
    s.logSweep = logSweep_->isChecked();
    s.digits = digits_->text().trimmed().toStdString();
    c.insert = insert_->isChecked();
    s.channels = uint8_t(channels_->currentIndex() == 1 ? 2 : 1);
    const QString mustBeNumber = QStringLiteral("Please type a number.");
    for (auto [field, value] : {std::pair{frequency_, &s.frequency}, std::pair{endFrequency_, &s.endFrequency},
                                std::pair{level_, &s.levelDb}}) {
        if (field->isEnabled() && !ReadDecimal(field, *value)) {
            failure = {mustBeNumber.toStdString(), field};
            return false;
        }
    }
    for (auto [field, value] : {std::pair{duration_, &s.durationMs}, std::pair{toneMs_, &s.toneMs},
                                std::pair{pauseMs_, &s.pauseMs}, std::pair{fadeIn_, &s.fadeInMs},
                                std::pair{fadeOut_, &s.fadeOutMs}}) {
        if (field->isEnabled() && !ReadWhole(field, *value)) {
            failure = {"Please type a whole number of milliseconds.", field};
            return false;
        }
    }
    if (!ReadWhole(rate_->lineEdit(), s.sampleRate)) {
        failure = {"Please type the sample rate in Hz.", rate_};
        return false;
    }
    return true;
}

LKVEffectDlg::Failure LKVToneDlg::Check()
{
    LKVToneChoice c = choice_;
    Failure f;
    if (!Read(c, f))
        return f;
    const std::string message = c.spec.Check();
    if (message.empty()) {
        choice_ = c;
        return {};
    }
    // The field the message is about.
    QWidget* field = kind_;
    const QString m = QString::fromStdString(message);
    if (m.contains(QStringLiteral("end frequency")))
        field = endFrequency_;
    else if (m.contains(QStringLiteral("frequency")))
        field = frequency_;
    else if (m.contains(QStringLiteral("amplitude")))
        field = level_;
    else if (m.contains(QStringLiteral("DTMF tone")))
        field = toneMs_;
    else if (m.contains(QStringLiteral("DTMF")))
        field = digits_;
    else if (m.contains(QStringLiteral("fades")))
        field = fadeIn_;
    else if (m.contains(QStringLiteral("sample rate")))
        field = rate_;
    else if (m.contains(QStringLiteral("duration")) || m.contains(QStringLiteral("too")))
        field = c.spec.kind == Kind::Dtmf ? static_cast<QWidget*>(toneMs_) : duration_;
    return FailIf(message, field);
}

bool LKVToneDlg::IsPreviewing() const { return (player_->State() & LPlayerPort::kActive) != 0; }

void LKVToneDlg::CmPreview()
{
    if (IsPreviewing()) {
        player_->Stop();
    } else {
        LKVToneChoice c = choice_;
        Failure f;
        // A tone that cannot be made is not heard; OK says what is wrong with it.
        if (Read(c, f) && c.spec.Check().empty())
            player_->Start(MakeSource<LSRCTone>(c.spec), LKVSettings::kSoundOutDevice.Read());
    }
    ShowState();
}

void LKVToneDlg::RestartIfPlaying()
{
    if (!IsPreviewing())
        return;
    player_->Stop();
    CmPreview();
}

void LKVToneDlg::done(int result)
{
    player_->Stop();
    ShowState();
    LKVEffectDlg::done(result);
}

void LKVToneDlg::PlayStateChanged() { ShowState(); }

void LKVToneDlg::ShowState() { preview_->setText(IsPreviewing() ? QStringLiteral("Stop") : QStringLiteral("Preview")); }
