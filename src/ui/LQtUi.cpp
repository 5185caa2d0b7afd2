#include "ui/LQtUi.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "formats/LAACEncoderSettings.h"
#include "formats/LFlacEncoderSettings.h"
#include "formats/LMp3EncoderSettings.h"
#include "formats/LOggEncoderSettings.h"
#include "formats/LRawSettings.h"
#include "ui/LAACEncodeDlg.h"
#include "ui/LAssembleRegionDlg.h"
#include "ui/LExportRegionDlg.h"
#include "ui/LFlacEncodeDlg.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVFileDialog.h"
#include "ui/LMp3EncodeDlg.h"
#include "ui/LNewFileDlg.h"
#include "ui/LOggEncodeDlg.h"
#include "ui/LRawSettingsDlg.h"
#include "ui/LRecordDlg.h"
#include "ui/LKVSendDlg.h"
#include "ui/LKVSpeechDlg.h"
#include "ui/LKVToneDlg.h"
#include "ui/LSelectRegionDlg.h"
#include "ui/LTextDlg.h"
#include "ui/LWaveFormatDlg.h"

namespace {

QMessageBox::Icon IconOf(LUiIcon icon)
{
    switch (icon) {
    case LUiIcon::Information: return QMessageBox::Information;
    case LUiIcon::Exclamation: return QMessageBox::Warning;
    case LUiIcon::Question: return QMessageBox::Question;
    case LUiIcon::Stop: return QMessageBox::Critical;
    default: return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButtons ButtonsOf(LUiButtons buttons)
{
    switch (buttons) {
    case LUiButtons::OkCancel: return QMessageBox::Ok | QMessageBox::Cancel;
    case LUiButtons::YesNo: return QMessageBox::Yes | QMessageBox::No;
    case LUiButtons::YesNoCancel: return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case LUiButtons::RetryCancel: return QMessageBox::Retry | QMessageBox::Cancel;
    default: return QMessageBox::Ok;
    }
}

LUiAnswer AnswerOf(QMessageBox::StandardButton button, LUiButtons buttons)
{
    switch (button) {
    case QMessageBox::Ok: return LUiAnswer::Ok;
    case QMessageBox::Yes: return LUiAnswer::Yes;
    case QMessageBox::No: return LUiAnswer::No;
    case QMessageBox::Retry: return LUiAnswer::Retry;
    case QMessageBox::Cancel: return LUiAnswer::Cancel;
    default:
        // Closed without a button: what Escape would have answered.
        return buttons == LUiButtons::Ok ? LUiAnswer::Ok : buttons == LUiButtons::YesNo ? LUiAnswer::No
                                                                                        : LUiAnswer::Cancel;
    }
}

} // namespace

QString LKVMessageText(const std::string& text)
{
    QString t = QString::fromStdString(text);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

QWidget* LQtUi::Owner()
{
    if (QWidget* w = QApplication::activeModalWidget())
        return w;
    if (QWidget* w = QApplication::activeWindow())
        return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits("QMainWindow") && w->isVisible())
            return w;
    return nullptr;
}

LUiAnswer LQtUi::MessageBox(const LUiMessage& message)
{
    QMessageBox box(IconOf(message.icon), QString::fromStdString(message.caption), LKVMessageText(message.text),
                    ButtonsOf(message.buttons), Owner());
    box.setObjectName(QStringLiteral("LUiMessage"));
    box.setTextFormat(Qt::PlainText);
    if (message.buttons == LUiButtons::YesNo)
        box.setEscapeButton(QMessageBox::No);
    if (message.defaultNo)
        box.setDefaultButton(QMessageBox::No);
    LKVExec(box);
    return AnswerOf(box.standardButton(box.clickedButton()), message.buttons);
}

bool LQtUi::NotAvailable(const std::string& what)
{
    LUiGet().Message(what + " is not available in this build of Kelvane.", "Kelvane", LUiButtons::Ok,
                     LUiIcon::Information);
    return false;
}

bool LQtUi::FileDialog(const LUiFileRequest& request, std::string& path)
{
    return LKVFileDialog::Ask(request, path);
}

bool LQtUi::RawSettingsDialog(const std::string& section, LUiRawAudioSettings& settings)
{
    LRawSettings start;
    start.sampleRate = settings.sampleRate;
    start.channels = settings.channels;
    start.codec = settings.codec;
    LRawSettingsDlg dialog(section, start, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    settings.sampleRate = dialog.Settings().sampleRate;
    settings.channels = dialog.Settings().channels;
    settings.codec = dialog.Settings().codec;
    return true;
}

bool LQtUi::WaveFormatChooser(const std::string& title, const std::vector<LUiChoice>& choices, int32_t& chosen)
{
    LWaveFormatDlg dialog(QString::fromStdString(title), choices, chosen, Owner());
    if (LKVExec(dialog) != QDialog::Accepted || dialog.Chosen() < 0)
        return false;
    chosen = dialog.Chosen();
    return true;
}

namespace {

// Runs an encoder dialog opened on `settings`; on OK `settings` takes its values.
template <class Dialog, class Settings>
bool EncoderDialog(Settings& settings)
{
    Dialog dialog(settings, LQtUi::Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    settings = dialog.Settings();
    return true;
}

} // namespace

bool LQtUi::Mp3EncodeDialog(LMp3EncoderSettings& settings) { return EncoderDialog<LMp3EncodeDlg>(settings); }
bool LQtUi::OggEncodeDialog(LOggEncoderSettings& settings) { return EncoderDialog<LOggEncodeDlg>(settings); }
bool LQtUi::FlacEncodeDialog(LFlacEncoderSettings& settings) { return EncoderDialog<LFlacEncodeDlg>(settings); }
bool LQtUi::AACEncodeDialog(LAACEncoderSettings& settings) { return EncoderDialog<LAACEncodeDlg>(settings); }

bool LQtUi::NewFileDialog(int32_t& sampleRate, uint8_t& channels)
{
    LNewFileDlg dialog(sampleRate, channels, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    sampleRate = dialog.SampleRate();
    channels = dialog.Channels();
    return true;
}

bool LQtUi::TextDialog(const std::string& title, std::string& text)
{
    LTextDlg dialog(QString::fromStdString(title), QString::fromStdString(text), Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    text = dialog.Text().toStdString();
    return true;
}

bool LQtUi::SelectRegionDialog(int32_t& startMs, int32_t& endMs)
{
    LSelectRegionDlg dialog(startMs, endMs, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    startMs = dialog.StartMs();
    endMs = dialog.EndMs();
    return true;
}

bool LQtUi::ExportRegionDialog(std::string& folder, int32_t& formatIndex)
{
    LExportRegionDlg dialog(folder, formatIndex, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    folder = dialog.Folder();
    formatIndex = dialog.FormatIndex();
    return true;
}

bool LQtUi::AssembleRegionsDialog(const std::vector<std::string>& names, std::vector<size_t>& order)
{
    LAssembleRegionDlg dialog(names, order, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    order = dialog.Order();
    return !order.empty();
}

bool LQtUi::ToneDialog(LKVToneChoice& choice)
{
    LKVToneDlg dialog(choice, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}

bool LQtUi::SpeechDialog(LKVSpeechChoice& choice)
{
    LKVSpeechDlg dialog(choice, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}

bool LQtUi::SendDialog(LKVSendChoice& choice)
{
    LKVSendDlg dialog(choice, Owner());
    if (LKVExec(dialog) != QDialog::Accepted)
        return false;
    choice = dialog.Choice();
    return true;
}

int32_t LQtUi::RecordDialog(LRecordDlgModel& model)
{
    LRecordDlg dialog(model, Owner());
    return LKVExec(dialog);
}
