#include "ui/LExportRegionDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/KVBatchConverter.h"

LExportRegionDlg::LExportRegionDlg(const std::string& folder, int32_t formatIndex, QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ExportRegionDlg"));
    setWindowTitle(QStringLiteral("Export Regions"));
    folder_ = new QLineEdit(QString::fromStdString(folder));
    folder_->setObjectName(QStringLiteral("folder"));
    folder_->setMinimumWidth(320);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."));
    connect(browse, &QPushButton::clicked, this, [this] {
        QFileDialog d(this, QStringLiteral("Export Folder"), folder_->text());
        d.setOption(QFileDialog::DontUseNativeDialog);
        d.setFileMode(QFileDialog::Directory);
        d.setOption(QFileDialog::ShowDirsOnly);
        if (d.exec() == QDialog::Accepted && !d.selectedFiles().isEmpty())
            folder_->setText(d.selectedFiles().front());
    });
    format_ = new QComboBox;
    format_->setObjectName(QStringLiteral("format"));
    for (const char* ext : LKVBatchOutput::kFormats)
        format_->addItem(QString::fromUtf8(ext + 1).toUpper() + QStringLiteral(" (") + QString::fromUtf8(ext) +
                         QLatin1Char(')'));
    format_->setCurrentIndex(formatIndex >= 0 && formatIndex < format_->count() ? formatIndex : -1);

    auto* row = new QHBoxLayout;
    row->addWidget(folder_, 1);
    row->addWidget(browse);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* form = new QFormLayout(this);
    auto* folderLabel = new QLabel(QStringLiteral("&Folder:"));
    folderLabel->setBuddy(folder_);
    form->addRow(folderLabel, row);
    form->addRow(QStringLiteral("F&ormat:"), format_);
    form->addRow(buttons);
    setFixedHeight(sizeHint().height());
}

std::string LExportRegionDlg::Folder() const { return folder_->text().trimmed().toStdString(); }
int32_t LExportRegionDlg::FormatIndex() const { return format_->currentIndex(); }
