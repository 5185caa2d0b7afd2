// The batch converter wizard: its pages' rules, the command list and its
// scripts, and the run against the command-line tool.
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QComboBox>
#include <QTreeView>
#include <gtest/gtest.h>
#include <memory>
#include <tuple>

#include "UiTestSupport.h"
#include "app/LKVCommandLine.h"
#include "app/LKVCommands.h"
#include "app/LKVScriptFile.h"
#include "core/LFile.h"
#include "support/TestSupport.h"
#include "support/WavTestSupport.h"
#include "ui/AddBatchCommandDlg.h"
#include "ui/LKVBatchCommandModel.h"
#include "ui/LKVBatchWizardDlg.h"
#include "ui/LSelectBatchCommandDlg.h"
#include "ui/LSelectBatchFileDlg.h"
#include "ui/LSelectSaveFormatDlg.h"

using uitest::DialogScript;

namespace {

// Answers a file dialog by typing several names of `folder` at once.
DialogScript::Answer ChooseFiles(const std::string& folder, const std::vector<std::string>& names)
{
    return [folder, names](QDialog& d) {
        auto* files = qobject_cast<QFileDialog*>(&d);
        ASSERT_NE(files, nullptr);
        EXPECT_EQ(files->windowTitle(), "Select Audio Files");
        EXPECT_EQ(files->fileMode(), QFileDialog::ExistingFiles);
        files->setDirectory(QString::fromStdString(folder));
        QStringList quoted;
        for (const std::string& n : names)
            quoted << QLatin1Char('"') + QString::fromStdString(n) + QLatin1Char('"');
        files->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(quoted.join(' '));
        d.accept();
    };
}

// Answers the command picker by choosing the rows of `indexes`.
DialogScript::Answer PickCommands(std::vector<int> indexes)
{
    return [indexes](QDialog& d) {
        auto* picker = dynamic_cast<AddBatchCommandDlg*>(&d);
        ASSERT_NE(picker, nullptr);
        for (int i : indexes)
            picker->List().item(i)->setSelected(true);
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
}

DialogScript::Answer TypeAndOk(const char* field, const QString& text)
{
    return [field, text](QDialog& d) {
        uitest::Type(d, field, text);
        d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    };
}

std::vector<uint32_t> Indexes(const LKVScriptDocument& script)
{
    std::vector<uint32_t> v;
    for (const LKVCommand& c : script.commands)
        v.push_back(c.index);
    return v;
}

QString Cell(LKVBatchCommandModel& m, int row, int column) { return m.data(m.index(row, column), Qt::DisplayRole).toString(); }

// Drops the row `from` as the view would: at `row` between rows, or on the row `onto`.
bool Drag(LKVBatchCommandModel& m, int from, int row, int onto = -1)
{
    std::unique_ptr<QMimeData> mime(m.mimeData({m.index(from, 0), m.index(from, 1)}));
    return m.dropMimeData(mime.get(), Qt::MoveAction, row, 0, onto >= 0 ? m.index(onto, 0) : QModelIndex());
}

bool NextEnabled(LKVBatchWizardDlg& w) { return w.button(QWizard::NextButton)->isEnabled(); }

} // namespace

TEST(BatchWizard, NextNeedsAFileButACommandIsOptional)
{
    std::vector<std::string> files;
    LKVBatchWizardDlg wizard(files);
    wizard.show();
    EXPECT_EQ(wizard.windowTitle(), "Batch Converter");
    EXPECT_FALSE(NextEnabled(wizard));

    const std::string folder = test::TempPath("in");
    ASSERT_TRUE(CreateFolders(folder));
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        test::WriteFileBytes(folder + "/" + name, "x");
    DialogScript script;
    script.Then(ChooseFiles(folder, {"a.wav", "b.wav", "c.wav"}));
    wizard.FilePage().CmAdd();
    ASSERT_EQ(files, (std::vector<std::string>{folder + "/a.wav", folder + "/b.wav", folder + "/c.wav"}));
    EXPECT_EQ(wizard.FilePage().List().count(), 3);
    EXPECT_TRUE(NextEnabled(wizard));

    // Remove drops every selected row.
    QListWidget& list = wizard.FilePage().List();
    list.item(0)->setSelected(true);
    list.item(2)->setSelected(true);
    wizard.FilePage().CmRemove();
    EXPECT_EQ(files, std::vector<std::string>{folder + "/b.wav"});
    list.item(0)->setSelected(true);
    wizard.FilePage().CmRemove();
    EXPECT_FALSE(NextEnabled(wizard)) << "an empty list cannot go on";
    files.push_back(folder + "/a.wav");
    wizard.FilesChanged();
    ASSERT_TRUE(NextEnabled(wizard));

    wizard.next();
    ASSERT_EQ(wizard.currentId(), LKVBatchWizardDlg::kCommandPage);
    EXPECT_TRUE(NextEnabled(wizard)) << "a run without commands converts the type only";
    script.Then(PickCommands({3, 7}));
    wizard.CommandPage().CmAdd();
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{3, 7}));
    EXPECT_TRUE(wizard.Script().commands[0].data.empty()) << "a new command runs with the stored values";
    EXPECT_TRUE(NextEnabled(wizard));
    LKVBatchCommandModel& m = wizard.CommandPage().Model();
    EXPECT_EQ(Cell(m, 0, 0), "Amplify");
    EXPECT_EQ(Cell(m, 1, 1), "Echo Time (ms) = 800, Echo Gain (%) = 50");
    wizard.CommandPage().View().setCurrentIndex(m.index(0, 0));
    wizard.CommandPage().CmRemove();
    wizard.CommandPage().CmRemove();
    EXPECT_TRUE(NextEnabled(wizard));

    // Closing with nothing to keep asks nothing and empties the frame's list.
    wizard.reject();
    EXPECT_TRUE(files.empty());
}

TEST(BatchWizard, CommandsTakeSettingsReorderByDragAndRoundTripThroughAScript)
{
    std::vector<std::string> files{"/nowhere/a.wav"};
    LKVBatchWizardDlg wizard(files);
    wizard.show();
    wizard.next();
    LSelectBatchCommandDlg& page = wizard.CommandPage();
    LKVBatchCommandModel& m = page.Model();
    DialogScript script;

    // The picker: several rows at once; a double-click chooses its row alone.
    script.Then(PickCommands({3, 15}));
    page.CmAdd();
    script.Then([](QDialog& d) {
        auto& picker = dynamic_cast<AddBatchCommandDlg&>(d);
        emit picker.List().itemDoubleClicked(picker.List().item(17));
    });
    page.CmAdd();
    ASSERT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{3, 15, 17}));

    // Settings: the effect's own dialog, and a value the data cannot hold is asked again.
    page.View().setCurrentIndex(m.index(0, 0));
    script.Then(TypeAndOk("id101", "-20"));
    script.Message("Invalid value", QMessageBox::Ok);
    script.Then(TypeAndOk("id101", "150"));
    page.CmSettings();
    EXPECT_EQ(Cell(m, 0, 1), "Amplify Gain (%) = 150");
    EXPECT_EQ(wizard.Script().commands[0].data, (std::vector<uint8_t>{150, 0}));
    page.View().setCurrentIndex(m.index(2, 0));
    script.Then([](QDialog& d) {
        d.findChild<QRadioButton*>("stereo")->setChecked(true);
        d.accept();
    });
    page.CmSettings();
    EXPECT_EQ(Cell(m, 2, 1), "Convert Channel = 2");
    page.View().setCurrentIndex(m.index(1, 0));
    script.Then([](QDialog& d) { d.reject(); });
    page.CmSettings();
    EXPECT_TRUE(wizard.Script().commands[1].data.empty()) << "Cancel keeps the stored values";
    EXPECT_EQ(Cell(m, 1, 1), "Threshold (db) = -20, Ratio = 1:1, Limit (db) = 3");

    // Dragging: below the last row, onto a row (before it), between rows; no-op drops.
    EXPECT_TRUE(Drag(m, 0, -1));
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{15, 17, 3}));
    EXPECT_TRUE(Drag(m, 2, -1, 0));
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{3, 15, 17}));
    EXPECT_TRUE(Drag(m, 0, 2));
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{15, 3, 17}));
    Drag(m, 1, 1);
    Drag(m, 1, 2);
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{15, 3, 17}));
    EXPECT_EQ(Cell(m, 1, 1), "Amplify Gain (%) = 150") << "the data moved with its command";
    EXPECT_EQ(page.findChild<QLabel*>("script")->text(), "Command script: Untitled.kvb *");

    const std::string path = test::TempPath("recipe.kvb");
    script.Then(uitest::ChooseFile(path));
    page.CmSaveAs();
    EXPECT_EQ(page.findChild<QLabel*>("script")->text(), "Command script: recipe.kvb");
    const std::vector<LKVCommand> saved = wizard.Script().commands;
    page.CmNew();  // titled and saved: no question
    EXPECT_EQ(m.rowCount(), 0);
    script.Then(uitest::ChooseFile(path));
    page.CmOpen();
    ASSERT_EQ(wizard.Script().commands.size(), saved.size());
    for (size_t i = 0; i < saved.size(); ++i) {
        EXPECT_EQ(wizard.Script().commands[i].index, saved[i].index);
        EXPECT_EQ(wizard.Script().commands[i].data, saved[i].data);
    }
    EXPECT_EQ(Cell(m, 2, 1), "Convert Channel = 2");
    EXPECT_TRUE(NextEnabled(wizard));

    // A command this version does not know is kept in its place but not shown.
    std::vector<LKVCommand> withUnknown = saved;
    withUnknown.insert(withUnknown.begin() + 1, LKVCommand{40, {1, 2, 3}});
    ASSERT_TRUE(LKVScriptFile::Write(path, withUnknown));
    script.Then(uitest::ChooseFile(path));
    page.CmOpen();
    EXPECT_EQ(m.rowCount(), 3);
    EXPECT_TRUE(Drag(m, 2, 0));
    EXPECT_EQ(Indexes(wizard.Script()), (std::vector<uint32_t>{17, 15, 40, 3}));

    // Closing would lose the changed list: the question comes, Cancel keeps the wizard.
    script.Message("Kelvane", QMessageBox::Cancel);
    wizard.reject();
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(files.size(), 1u);
    script.Message("Kelvane", QMessageBox::No);
    wizard.reject();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_TRUE(files.empty());
}

TEST(BatchWizard, RunWritesWhatTheCommandLineToolWritesByteForByte)
{
    std::vector<std::string> files;
    for (const auto& [name, rate, channels] :
         std::vector<std::tuple<const char*, int, int>>{{"one.wav", 22050, 1}, {"two.wav", 44100, 2}, {"three.wav", 8000, 1}})
        files.push_back(uitest::SoxSine(name, rate, channels, 0.4));
    const std::vector<std::string> sources = files;

    // The script: settings of its own, a stored value, and a conversion.
    std::vector<LKVCommand> commands;
    LKVCommand amplify{3, {}}, echo{7, {}}, stereo{17, {}}, silence{2, {}};
    std::string error;
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Amplify=70", amplify, error));
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Convert Channel (Mono <-> Stereo)=2", stereo, error));
    ASSERT_TRUE(LKVBatchCatalogue::Parse("Insert Silence At The End=250", silence, error));
    commands = {amplify, echo, silence, stereo};
    const std::string scriptPath = test::TempPath("run.kvb");
    ASSERT_TRUE(LKVScriptFile::Write(scriptPath, commands));

    LKVBatchWizardDlg wizard(files);
    wizard.show();
    wizard.next();
    DialogScript script;
    script.Then(uitest::ChooseFile(scriptPath));
    wizard.CommandPage().CmOpen();
    wizard.next();
    ASSERT_EQ(wizard.currentId(), LKVBatchWizardDlg::kOutputPage);
    LSelectSaveFormatDlg& out = wizard.OutputPage();
    out.findChild<QRadioButton*>("chosenFormat")->setChecked(true);
    out.findChild<QComboBox*>("format")->setCurrentText(".au");
    out.findChild<QRadioButton*>("chosenFolder")->setChecked(true);
    const std::string guiFolder = test::TempPath("gui/out");
    out.findChild<QLineEdit*>("folder")->setText(QString::fromStdString(guiFolder));
    script.Message("Kelvane", QMessageBox::Yes);  // create the folder
    script.Message("Batch Converter", QMessageBox::Ok);
    wizard.button(QWizard::FinishButton)->click();
    ASSERT_GE(script.texts.size(), 2u);
    EXPECT_EQ(script.texts[script.texts.size() - 2],
              QString::fromStdString("The folder  \"" + guiFolder + "\" does not exist. Do you want to create it now?"));
    EXPECT_EQ(script.texts.back(), "The batch conversion is done: 3 files converted, none failed.");
    EXPECT_FALSE(wizard.isVisible()) << "a completed run closes the wizard";
    EXPECT_TRUE(files.empty());

    const std::string cliFolder = test::TempPath("cli");
    std::string command = test::BatchProgram() + " -q -f au -s " + test::Quote(scriptPath) + " -o " + test::Quote(cliFolder);
    // Appended in two steps: GCC 12 at -O3 sees a bogus overflow in " " + Quote(f).
    for (const std::string& f : sources) {
        command += ' ';
        command += test::Quote(f);
    }
    ASSERT_EQ(test::Run(command), 0);
    for (const char* name : {"one.au", "two.au", "three.au"}) {
        const std::string gui = test::ReadFileBytes(guiFolder + "/" + name);
        ASSERT_GT(gui.size(), 1000u) << name;
        EXPECT_TRUE(gui == test::ReadFileBytes(cliFolder + "/" + name)) << name << " differs from kelvane-batch's";
    }
    EXPECT_EQ(test::Run("sox " + test::Quote(guiFolder + "/one.au") + " -n stat 2>/dev/null"), 0);
}

TEST(BatchWizard, ReplacingTheSourcesIsAskedWithNoAsTheDefault)
{
    std::vector<std::string> files{uitest::SoxSine("keep1.wav", 8000, 1, 0.1), uitest::SoxSine("keep2.wav", 8000, 1, 0.1)};
    const std::string before = test::ReadFileBytes(files[0]);
    LKVBatchWizardDlg wizard(files);
    wizard.show();
    wizard.next();
    wizard.next();  // no command: the files are only saved again
    ASSERT_EQ(wizard.currentId(), LKVBatchWizardDlg::kOutputPage);
    LSelectSaveFormatDlg& out = wizard.OutputPage();
    out.findChild<QRadioButton*>("sameFormat")->setChecked(true);
    out.findChild<QRadioButton*>("sameFolder")->setChecked(true);
    DialogScript script;
    script.Then([](QDialog& d) {
        auto* box = qobject_cast<QMessageBox*>(&d);
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(box->text().toStdString().substr(0, 47), "This conversion would replace 2 original files ");
        EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::No)) << "Enter keeps the originals";
        uitest::Click(*box, QMessageBox::No);
    });
    wizard.button(QWizard::FinishButton)->click();
    EXPECT_TRUE(wizard.isVisible()) << "nothing ran; the wizard stays";
    EXPECT_EQ(test::ReadFileBytes(files[0]), before);
    EXPECT_EQ(script.texts.size(), 1u);
    wizard.reject();
}

TEST(BatchWizard, BadScriptsAndFoldersSayWhyAndKeepTheWizard)
{
    std::vector<std::string> files{uitest::SoxSine("s.wav", 8000, 1, 0.1)};
    LKVBatchWizardDlg wizard(files);
    wizard.show();
    wizard.next();
    DialogScript script;

    // A file without even its version byte cannot be read.
    const std::string empty = test::TempPath("empty.kvb");
    test::WriteFileBytes(empty, "");
    script.Then(uitest::ChooseFile(empty));
    script.Message("File Error", QMessageBox::Ok);
    wizard.CommandPage().CmOpen();
    EXPECT_EQ(script.texts.back(), "Kelvane cannot open this file. The file does not exist or may be corrupted.");
    const std::string future = test::TempPath("future.kvb");
    test::WriteFileBytes(future, std::string("\1\3\0\0\0\0\0\0\0", 9));
    script.Then(uitest::ChooseFile(future));
    script.Message("Kelvane", QMessageBox::Ok);
    wizard.CommandPage().CmOpen();
    EXPECT_EQ(script.texts.back(), QString::fromLatin1(LKVScriptFile::kVersionMessage));
    EXPECT_EQ(wizard.CommandPage().Model().rowCount(), 0);

    script.Then(PickCommands({4}));
    wizard.CommandPage().CmAdd();
    wizard.next();
    LSelectSaveFormatDlg& out = wizard.OutputPage();
    out.findChild<QRadioButton*>("chosenFolder")->setChecked(true);
    out.findChild<QLineEdit*>("folder")->setText(QString());
    script.Message("Kelvane", QMessageBox::Ok);
    wizard.button(QWizard::FinishButton)->click();
    EXPECT_EQ(script.texts.back(), "Invalid output folder. Please select a folder to save to.");

    // Under a plain file no folder can be made; No and a failure both stay on the page.
    const std::string plain = test::TempPath("plain");
    test::WriteFileBytes(plain, "x");
    out.findChild<QLineEdit*>("folder")->setText(QString::fromStdString(plain + "/out"));
    script.Message("Kelvane", QMessageBox::No);
    wizard.button(QWizard::FinishButton)->click();
    script.Message("Kelvane", QMessageBox::Yes);
    script.Message("Kelvane", QMessageBox::Ok);
    wizard.button(QWizard::FinishButton)->click();
    EXPECT_EQ(script.texts.back(), "Unable to create folder.");
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(wizard.currentId(), LKVBatchWizardDlg::kOutputPage);
    EXPECT_EQ(files.size(), 1u);
    script.Message("Kelvane", QMessageBox::No);
    wizard.reject();
}

TEST(BatchWizard, TheFrameOpensItAndAnotherInstanceAddsFilesToIt)
{
    LKVMainWindow w;
    w.show();
    const std::string first = uitest::SoxSine("first.wav", 8000, 1, 0.1);
    const std::string second = uitest::SoxSine("second.wav", 8000, 1, 0.1);
    DialogScript script;
    QStringList shown;
    script.Then([&](QDialog& d) {
        auto* wizard = dynamic_cast<LKVBatchWizardDlg*>(&d);
        ASSERT_NE(wizard, nullptr);
        EXPECT_EQ(w.BatchConverter(), wizard);
        w.InstanceMessage(kLKVMsgAddToBatch, second);
        for (int i = 0; i < wizard->FilePage().List().count(); ++i)
            shown << wizard->FilePage().List().item(i)->text();
        d.reject();
    });
    w.Model().OnInstanceMessage(kLKVMsgAddToBatch, first);  // opens it once this returns
    uitest::Settle();
    EXPECT_EQ(script.titles, std::vector<QString>{"Batch Converter"});
    EXPECT_EQ(shown, (QStringList{QString::fromStdString(first), QString::fromStdString(second)}));
    EXPECT_EQ(w.BatchConverter(), nullptr);
    EXPECT_TRUE(w.Model().BatchFiles().empty()) << "the list goes with the wizard";
}
