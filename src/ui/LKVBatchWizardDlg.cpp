#include "ui/LKVBatchWizardDlg.h"

#include "app/KVBatchConverter.h"
#include "ui/LSelectBatchCommandDlg.h"
#include "ui/LSelectBatchFileDlg.h"
#include "ui/LSelectSaveFormatDlg.h"

LKVBatchWizardDlg::LKVBatchWizardDlg(std::vector<std::string>& files, QWidget* parent)
    : QWizard(parent), files_(files)
{
    setObjectName(QStringLiteral("LKVBatchWizardDlg"));
    setWindowTitle(QStringLiteral("Batch Converter"));
    setWizardStyle(QWizard::ClassicStyle);
    setOption(QWizard::NoBackButtonOnStartPage);
    filePage_ = new LSelectBatchFileDlg(files_);
    commandPage_ = new LSelectBatchCommandDlg(script_);
    outputPage_ = new LSelectSaveFormatDlg([this](const LKVBatchOutput& output) {
        return KVBatchConverter::Run(files_, script_.commands, output);
    });
    setPage(kFilePage, filePage_);
    setPage(kCommandPage, commandPage_);
    setPage(kOutputPage, outputPage_);
    setStartId(kFilePage);
    // Finish checks and runs before the wizard closes; only then do the lists go.
    connect(this, &QDialog::finished, this, [this] { files_.clear(); });
    resize(720, 460);
}

LKVBatchWizardDlg::~LKVBatchWizardDlg() = default;

void LKVBatchWizardDlg::FilesChanged() { filePage_->Refresh(); }

void LKVBatchWizardDlg::reject()
{
    // The command list goes with the wizard: the user may keep it first.
    if (!script_.New())
        return;
    QWizard::reject();
}

