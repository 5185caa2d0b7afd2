#include "UiTestSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleFactory>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/TestSupport.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVPorts.h"
#include "ui/LQtProgressDialog.h"

namespace uitest {

namespace {

// The offscreen platform says so each time a window asks for what only a real
// window system does (raise, size hints); that is not news in a test log.
void QuietPlatform(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (message.startsWith(QStringLiteral("This plugin does not support")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(message));
    if (type == QtFatalMsg)
        std::abort();
}

class QtEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        const std::string runtime = test::TempPath("runtime");
        ::mkdir(runtime.c_str(), 0700);
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
        qInstallMessageHandler(QuietPlatform);
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        app_ = std::make_unique<QApplication>(argc_, argv_);
        ports_ = std::make_unique<LKVPorts>();
        LQtProgressDialog::SetShowDelay(0);
    }
    void TearDown() override
    {
        ports_.reset();
        app_.reset();
    }

private:
    int argc_ = 1;
    char name_[16] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    std::unique_ptr<QApplication> app_;
    std::unique_ptr<LKVPorts> ports_;
};

[[maybe_unused]] testing::Environment* const g_environment = testing::AddGlobalTestEnvironment(new QtEnvironment);

} // namespace

DialogScript::DialogScript()
{
    LKVSetExecHook([this](QDialog& dialog) {
        titles.push_back(dialog.windowTitle());
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        texts.push_back(box ? box->text() : QString());
        if (answers_.empty()) {
            ADD_FAILURE() << "unexpected dialog \"" << dialog.windowTitle().toStdString() << "\" "
                          << texts.back().toStdString();
            QTimer::singleShot(0, &dialog, &QDialog::reject);
            return;
        }
        Answer answer = std::move(answers_.front());
        answers_.pop_front();
        QTimer::singleShot(0, &dialog, [&dialog, answer] { answer(dialog); });
    });
}

DialogScript::~DialogScript()
{
    LKVSetExecHook({});
    EXPECT_TRUE(answers_.empty()) << answers_.size() << " scripted dialog(s) never opened";
}

void DialogScript::Then(Answer answer) { answers_.push_back(std::move(answer)); }

void DialogScript::Message(const QString& caption, QMessageBox::StandardButton button)
{
    Then([caption, button](QDialog& dialog) {
        auto* box = qobject_cast<QMessageBox*>(&dialog);
        if (!box) {
            ADD_FAILURE() << "expected message box \"" << caption.toStdString() << "\", got dialog \""
                          << dialog.windowTitle().toStdString() << "\"";
            dialog.reject();
            return;
        }
        EXPECT_EQ(box->windowTitle(), caption) << box->text().toStdString();
        Click(*box, button);
    });
}

DialogScript::Answer ChooseFile(const std::string& path)
{
    return [path](QDialog& dialog) {
        auto* files = qobject_cast<QFileDialog*>(&dialog);
        if (!files) {
            ADD_FAILURE() << "expected a file dialog, got \"" << dialog.windowTitle().toStdString() << "\"";
            dialog.reject();
            return;
        }
        files->selectFile(QString::fromStdString(path));
        dialog.accept();  // QFileDialog's own accept, reached through QDialog
    };
}

void Type(QDialog& dialog, const char* name, const QString& text)
{
    if (auto* combo = dialog.findChild<QComboBox*>(QString::fromUtf8(name))) {
        combo->setCurrentText(text);
        return;
    }
    if (auto* edit = dialog.findChild<QLineEdit*>(QString::fromUtf8(name))) {
        edit->setText(text);
        return;
    }
    ADD_FAILURE() << "no field " << name << " in \"" << dialog.windowTitle().toStdString() << "\"";
}

void Click(QMessageBox& box, QMessageBox::StandardButton button)
{
    QAbstractButton* b = box.button(button);
    if (!b) {
        ADD_FAILURE() << "message box \"" << box.text().toStdString() << "\" has no such button";
        box.reject();
        return;
    }
    b->click();
}

std::string SoxSine(const std::string& name, int rate, int channels, double seconds)
{
    const std::string path = test::TempPath(name);
    const int status = test::Run("sox -q -n -r " + std::to_string(rate) + " -c " + std::to_string(channels) +
                                 " -b 16 " + test::Quote(path) + " synth " + std::to_string(seconds) +
                                 " sine 440 vol 0.5");
    EXPECT_EQ(status, 0);
    return path;
}

void Settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

} // namespace uitest
