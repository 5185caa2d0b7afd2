#include "ui/AddBatchCommandDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/LKVBatchCatalogue.h"

AddBatchCommandDlg::AddBatchCommandDlg(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("AddBatchCommandDlg"));
    setWindowTitle(QStringLiteral("Add Command"));
    auto* prompt = new QLabel(QStringLiteral("Select command(s) to add to the Command list."));
    list_ = new QListWidget;
    list_->setObjectName(QStringLiteral("commands"));
    list_->setSelectionMode(QAbstractItemView::MultiSelection);
    for (const LKVCatalogueEntry& e : LKVBatchCatalogue::Entries()) {
        auto* item = new QListWidgetItem(QString::fromUtf8(e.name), list_);
        item->setData(Qt::UserRole, e.index);
    }
    // Every name shows without scrolling.
    list_->setMinimumHeight(list_->sizeHintForRow(0) * list_->count() + 2 * list_->frameWidth() + 4);
    list_->setMinimumWidth(list_->sizeHintForColumn(0) + 2 * list_->frameWidth() + 24);
    prompt->setBuddy(list_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    ok_->setEnabled(false);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemSelectionChanged, this,
            [this] { ok_->setEnabled(!list_->selectedItems().isEmpty()); });
    // The two clicks of a double-click toggle the row twice: it is chosen again here.
    connect(list_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        item->setSelected(true);
        accept();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(prompt);
    layout->addWidget(list_);
    layout->addWidget(buttons);
}

std::vector<uint32_t> AddBatchCommandDlg::Chosen() const
{
    std::vector<uint32_t> chosen;
    for (int i = 0; i < list_->count(); ++i)
        if (list_->item(i)->isSelected())
            chosen.push_back(list_->item(i)->data(Qt::UserRole).toUInt());
    return chosen;
}
