#include "ui/LAssembleRegionDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/LAssembleOptionDlg.h"
#include "ui/LKVDialogExec.h"

LAssembleRegionDlg::LAssembleRegionDlg(const std::vector<std::string>& names, const std::vector<size_t>& start,
                                       QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("AssembleRegionDlg"));
    setWindowTitle(QStringLiteral("Assemble Regions"));
    available_ = new QListWidget;
    available_->setObjectName(QStringLiteral("available"));
    available_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (size_t i = 0; i < names.size(); ++i) {
        auto* item = new QListWidgetItem(QString::fromStdString(names[i]), available_);
        item->setData(Qt::UserRole, qulonglong(i));
    }
    order_ = new QListWidget;
    order_->setObjectName(QStringLiteral("order"));
    for (size_t i : start)
        if (i < names.size())
            order_->addItem(available_->item(int(i))->clone());
    auto* add = new QPushButton(QStringLiteral("&Add >"));
    add->setObjectName(QStringLiteral("add"));
    auto* remove = new QPushButton(QStringLiteral("< &Remove"));
    remove->setObjectName(QStringLiteral("remove"));
    auto* up = new QPushButton(QStringLiteral("Move &Up"));
    up->setObjectName(QStringLiteral("up"));
    auto* down = new QPushButton(QStringLiteral("Move &Down"));
    down->setObjectName(QStringLiteral("down"));
    connect(add, &QPushButton::clicked, this, &LAssembleRegionDlg::Add);
    connect(available_, &QListWidget::itemDoubleClicked, this, &LAssembleRegionDlg::Add);
    connect(remove, &QPushButton::clicked, this, &LAssembleRegionDlg::Remove);
    connect(up, &QPushButton::clicked, this, [this] { Move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { Move(1); });

    summary_ = new QLabel(LAssembleOptionDlg::Summary());
    summary_->setObjectName(QStringLiteral("summary"));
    auto* options = new QPushButton(QStringLiteral("&Options..."));
    options->setObjectName(QStringLiteral("options"));
    connect(options, &QPushButton::clicked, this, [this] {
        LAssembleOptionDlg dialog(this);
        if (LKVExec(dialog) == QDialog::Accepted)
            summary_->setText(LAssembleOptionDlg::Summary());
    });

    auto* middle = new QVBoxLayout;
    middle->addStretch();
    middle->addWidget(add);
    middle->addWidget(remove);
    middle->addSpacing(12);
    middle->addWidget(up);
    middle->addWidget(down);
    middle->addStretch();
    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Regions:")), 0, 0);
    grid->addWidget(new QLabel(QStringLiteral("Assemble in this order:")), 0, 2);
    grid->addWidget(available_, 1, 0);
    grid->addLayout(middle, 1, 1);
    grid->addWidget(order_, 1, 2);
    auto* gapRow = new QHBoxLayout;
    gapRow->addWidget(summary_, 1);
    gapRow->addWidget(options);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    ok_ = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(gapRow);
    layout->addWidget(buttons);
    resize(560, 360);
    UpdateButtons();
}

void LAssembleRegionDlg::Add()
{
    for (QListWidgetItem* item : available_->selectedItems())
        order_->addItem(item->clone());
    UpdateButtons();
}

void LAssembleRegionDlg::Remove()
{
    delete order_->currentItem();
    UpdateButtons();
}

void LAssembleRegionDlg::Move(int by)
{
    const int row = order_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= order_->count())
        return;
    QListWidgetItem* item = order_->takeItem(row);
    order_->insertItem(to, item);
    order_->setCurrentRow(to);
}

void LAssembleRegionDlg::UpdateButtons() { ok_->setEnabled(order_->count() > 0); }

std::vector<size_t> LAssembleRegionDlg::Order() const
{
    std::vector<size_t> order;
    for (int i = 0; i < order_->count(); ++i)
        order.push_back(size_t(order_->item(i)->data(Qt::UserRole).toULongLong()));
    return order;
}

