#include "ui/LSelectBatchFileDlg.h"

#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/MainDialogShared.h"
#include "core/LFile.h"
#include "ui/LKVDialogExec.h"
#include "ui/LKVFileDialog.h"

LSelectBatchFileDlg::LSelectBatchFileDlg(std::vector<std::string>& files, QWidget* parent)
    : QWizardPage(parent), files_(files)
{
    setObjectName(QStringLiteral("LSelectBatchFileDlg"));
    setTitle(QStringLiteral("Step 1:"));
    setSubTitle(QStringLiteral("Select Files"));
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("files"));
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    auto* add = new QPushButton(QStringLiteral("&Add..."));
    add->setObjectName(QStringLiteral("add"));
    remove_ = new QPushButton(QStringLiteral("&Remove"));
    remove_->setObjectName(QStringLiteral("remove"));
    connect(add, &QPushButton::clicked, this, &LSelectBatchFileDlg::CmAdd);
    connect(remove_, &QPushButton::clicked, this, &LSelectBatchFileDlg::CmRemove);
    connect(list_, &QListWidget::itemSelectionChanged, this, &LSelectBatchFileDlg::ShowButtons);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove_);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(buttons);
    Refresh();
}

bool LSelectBatchFileDlg::isComplete() const { return !files_.empty(); }

void LSelectBatchFileDlg::Refresh()
{
    list_->clear();
    for (const std::string& f : files_)
        list_->addItem(QString::fromStdString(f));
    ShowButtons();
    emit completeChanged();
}

void LSelectBatchFileDlg::ShowButtons() { remove_->setEnabled(!list_->selectedItems().isEmpty()); }

void LSelectBatchFileDlg::CmAdd()
{
    LUiFileRequest request{"Select Audio Files", files_.empty() ? std::string() : GetFolderFromPath(files_.back()),
                           {}, LKVAudioFileFilters(), false, {}};
    LKVFileDialog dialog(request, this);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (LKVExec(dialog) != QDialog::Accepted)
        return;
    for (const QString& path : dialog.selectedFiles())
        files_.push_back(path.toStdString());
    Refresh();
    list_->scrollToBottom();
}

void LSelectBatchFileDlg::CmRemove()
{
    std::vector<size_t> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows())
        rows.push_back(size_t(index.row()));
    if (LKVEraseIndexes(files_, rows))
        Refresh();
}
