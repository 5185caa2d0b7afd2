#include "ui/LQtUi.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

#include "ui/LKVDialogExec.h"
#include "ui/LKVFileDialog.h"

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

bool LQtUi::RawSettingsDialog(const std::string&, LUiRawAudioSettings&) { return NotAvailable("Raw audio settings"); }

bool LQtUi::WaveFormatChooser(const std::string& title, const std::vector<LUiChoice>&, int32_t&)
{
    return NotAvailable(title);
}

bool LQtUi::Mp3EncodeDialog(LMp3EncoderSettings&) { return NotAvailable("MP3 settings"); }
bool LQtUi::OggEncodeDialog(LOggEncoderSettings&) { return NotAvailable("Ogg settings"); }
bool LQtUi::FlacEncodeDialog(LFlacEncoderSettings&) { return NotAvailable("FLAC settings"); }
bool LQtUi::AACEncodeDialog(LAACEncoderSettings&) { return NotAvailable("AAC settings"); }
bool LQtUi::NewFileDialog(int32_t&, uint8_t&) { return NotAvailable("New File"); }
bool LQtUi::TextDialog(const std::string& title, std::string&) { return NotAvailable(title); }
bool LQtUi::SelectRegionDialog(int32_t&, int32_t&) { return NotAvailable("Select Region"); }
bool LQtUi::ExportRegionDialog(std::string&, int32_t&) { return NotAvailable("Export Regions"); }
bool LQtUi::AssembleRegionsDialog(const std::vector<std::string>&, std::vector<size_t>&)
{
    return NotAvailable("Assemble Regions");
}
