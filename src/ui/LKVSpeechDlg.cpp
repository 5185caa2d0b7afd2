#include "ui/LKVSpeechDlg.h"

#include <QComboBox>
#include <QFormLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/LFile.h"
#include "core/LUi.h"

namespace {

// Texts above this are surely not meant to be spoken (a wrong file).
constexpr int64_t kMaxTextBytes = 16 * 1024 * 1024;

} // namespace

LKVSpeechDlg::LKVSpeechDlg(const LKVSpeechChoice& choice, QWidget* parent)
    : LKVEffectDlg(QStringLiteral("Text To Speech"), parent), choice_(choice)
{
    setObjectName(QStringLiteral("LKVSpeechDlg"));
    auto* label = new QLabel(QStringLiteral("Text to speak:"));
    Body().addWidget(label);
    text_ = new QPlainTextEdit(QString::fromStdString(choice.text));
    text_->setObjectName(IdName(101));
    text_->setMinimumSize(420, 160);
    label->setBuddy(text_);
    Body().addWidget(text_);
    voice_ = new QComboBox;
    voice_->setObjectName(IdName(102));
    for (const std::string& name : choice.voices)
        voice_->addItem(QString::fromStdString(name).replace(QLatin1Char('_'), QLatin1Char(' ')));
    voice_->setCurrentIndex(choice.voice);
    voice_->setMaxVisibleItems(20);
    Form().addRow(QStringLiteral("Voice:"), voice_);
    speed_ = new QSpinBox;
    speed_->setObjectName(IdName(103));
    speed_->setRange(LKVSpeechChoice::kMinSpeed, LKVSpeechChoice::kMaxSpeed);
    speed_->setValue(choice.speed);
    speed_->setSuffix(QStringLiteral(" words per minute"));
    Form().addRow(QStringLiteral("Speed:"), speed_);
    pitch_ = new QSpinBox;
    pitch_->setObjectName(IdName(104));
    pitch_->setRange(0, 99);
    pitch_->setValue(choice.pitch);
    Form().addRow(QStringLiteral("Pitch (0 - 99):"), pitch_);
    QPushButton* load = AddButton(105, QStringLiteral("Load Text..."));
    connect(load, &QPushButton::clicked, this, &LKVSpeechDlg::CmLoad);
}

bool LKVSpeechDlg::LoadText(const std::string& path)
{
    std::string bytes;
    LFile file;
    bool ok = file.Open(path, LFile::Mode::ReadPlain);
    const int64_t size = ok ? file.GetFileSizeBytes() : -1;
    ok = ok && size >= 0 && size <= kMaxTextBytes;
    if (ok) {
        bytes.resize(size_t(size));
        ok = file.Read(bytes.data(), int32_t(size)) == int32_t(size);
    }
    if (!ok) {
        LUiGet().Message("The text file \"" + path + "\" cannot be read" +
                             (size > kMaxTextBytes ? " (it is larger than 16 MB)." : "."),
                         "Text To Speech", LUiButtons::Ok, LUiIcon::Exclamation);
        return false;
    }
    text_->setPlainText(QString::fromUtf8(bytes.data(), qsizetype(bytes.size())));
    return true;
}

void LKVSpeechDlg::CmLoad()
{
    LUiFileRequest request;
    request.title = "Load Text";
    request.filters = {{"Text Files (*.txt)", {"*.txt"}}, {"All Files (*.*)", {"*"}}};
    std::string path;
    if (LUiGet().FileDialog(request, path))
        LoadText(path);
}

LKVEffectDlg::Failure LKVSpeechDlg::Check()
{
    LKVSpeechChoice c = choice_;
    c.text = text_->toPlainText().toStdString();
    c.voice = std::max(voice_->currentIndex(), 0);
    c.speed = speed_->value();
    c.pitch = pitch_->value();
    const std::string message = c.Check();
    if (message.empty())
        choice_ = c;
    return FailIf(message, text_);
}
