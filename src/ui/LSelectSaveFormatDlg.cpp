#include "ui/LSelectSaveFormatDlg.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/LKVScriptDocument.h"
#include "core/LFile.h"
#include "core/LProgressDialog.h"
#include "formats/LGenSink.h"
#include "ui/LKVDialogExec.h"

LSelectSaveFormatDlg::LSelectSaveFormatDlg(std::function<int32_t(const LKVBatchOutput&)> run, QWidget* parent)
    : QWizardPage(parent), run_(std::move(run))
{
    setObjectName(QStringLiteral("LSelectSaveFormatDlg"));
    setTitle(QStringLiteral("Step 3:"));
    setSubTitle(QStringLiteral("Select Output Format and Folder"));

    auto* formatBox = new QGroupBox(QStringLiteral("Output format"));
    sameFormat_ = new QRadioButton(QStringLiteral("Same format as the source &file"));
    sameFormat_->setObjectName(QStringLiteral("sameFormat"));
    chosenFormat_ = new QRadioButton(QStringLiteral("Save in this f&ormat:"));
    chosenFormat_->setObjectName(QStringLiteral("chosenFormat"));
    format_ = new QComboBox;
    format_->setObjectName(QStringLiteral("format"));
    for (const char* ext : LKVBatchOutput::kFormats)
        format_->addItem(QString::fromLatin1(ext));
    formatSettings_ = new QPushButton(QStringLiteral("Format &Settings..."));
    formatSettings_->setObjectName(QStringLiteral("formatSettings"));
    auto* formats = new QGridLayout(formatBox);
    formats->addWidget(sameFormat_, 0, 0, 1, 3);
    formats->addWidget(chosenFormat_, 1, 0);
    formats->addWidget(format_, 1, 1);
    formats->addWidget(formatSettings_, 1, 2);
    formats->setColumnStretch(3, 1);

    auto* folderBox = new QGroupBox(QStringLiteral("Output folder"));
    sameFolder_ = new QRadioButton(QStringLiteral("Same folder as the source fil&e"));
    sameFolder_->setObjectName(QStringLiteral("sameFolder"));
    chosenFolder_ = new QRadioButton(QStringLiteral("Save in this fol&der:"));
    chosenFolder_->setObjectName(QStringLiteral("chosenFolder"));
    folder_ = new QLineEdit;
    folder_->setObjectName(QStringLiteral("folder"));
    browse_ = new QPushButton(QStringLiteral("&Browse..."));
    browse_->setObjectName(QStringLiteral("browse"));
    auto* folders = new QGridLayout(folderBox);
    folders->addWidget(sameFolder_, 0, 0, 1, 3);
    folders->addWidget(chosenFolder_, 1, 0);
    folders->addWidget(folder_, 1, 1);
    folders->addWidget(browse_, 1, 2);
    folders->setColumnStretch(1, 1);

    // Two pairs of radio buttons, each pair its own group.
    auto* formatGroup = new QButtonGroup(this);
    formatGroup->addButton(sameFormat_);
    formatGroup->addButton(chosenFormat_);
    auto* folderGroup = new QButtonGroup(this);
    folderGroup->addButton(sameFolder_);
    folderGroup->addButton(chosenFolder_);

    connect(formatGroup, &QButtonGroup::buttonToggled, this, &LSelectSaveFormatDlg::ShowState);
    connect(folderGroup, &QButtonGroup::buttonToggled, this, &LSelectSaveFormatDlg::ShowState);
    connect(format_, &QComboBox::currentIndexChanged, this, &LSelectSaveFormatDlg::ShowState);
    connect(formatSettings_, &QPushButton::clicked, this, &LSelectSaveFormatDlg::CmFormatSettings);
    connect(browse_, &QPushButton::clicked, this, &LSelectSaveFormatDlg::CmBrowse);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(formatBox);
    layout->addWidget(folderBox);
    layout->addStretch();
}

void LSelectSaveFormatDlg::initializePage()
{
    const LKVBatchOutput o = LKVBatchOutput::Read();
    (o.sameFormat ? sameFormat_ : chosenFormat_)->setChecked(true);
    format_->setCurrentIndex(o.formatIndex >= 0 && o.formatIndex < format_->count() ? o.formatIndex : 0);
    (o.sameFolder ? sameFolder_ : chosenFolder_)->setChecked(true);
    folder_->setText(QString::fromStdString(o.folder));
    ShowState();
}

void LSelectSaveFormatDlg::ShowState()
{
    const bool chosenFormat = chosenFormat_->isChecked();
    format_->setEnabled(chosenFormat);
    formatSettings_->setEnabled(chosenFormat && LGenSinkHasOptions(format_->currentText().toStdString()));
    folder_->setEnabled(chosenFolder_->isChecked());
    browse_->setEnabled(chosenFolder_->isChecked());
}

LKVBatchOutput LSelectSaveFormatDlg::Output() const
{
    LKVBatchOutput o;
    o.sameFormat = sameFormat_->isChecked();
    o.formatIndex = format_->currentIndex();
    o.sameFolder = sameFolder_->isChecked();
    o.folder = folder_->text().trimmed().toStdString();
    return o;
}

void LSelectSaveFormatDlg::CmBrowse()
{
    QFileDialog dialog(this, QStringLiteral("Select Output Folder"));
    dialog.setObjectName(QStringLiteral("BrowseFolderDlg"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    const std::string folder = folder_->text().trimmed().toStdString();
    if (!folder.empty() && FolderExists(folder))
        dialog.setDirectory(QString::fromStdString(folder));
    if (LKVExec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    folder_->setText(dialog.selectedFiles().first());
}

void LSelectSaveFormatDlg::CmFormatSettings()
{
    // The type's own options, stored where its saves find them; nothing else changes.
    LGenSinkCheckSettings(format_->currentText().toStdString(), 0, 0);
}

bool LSelectSaveFormatDlg::validatePage()
{
    const LKVBatchOutput output = Output();
    if (!LKVBatchOutputFinish(output))
        return false;
    return run_(output) == kJobDone;
}
